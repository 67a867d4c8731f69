// ClassDesc: the interface list and string-table lookups.
#include "plugapi.h"

#include <cwctype>

namespace {

bool SameNameNoCase(const MCHAR* a, const MCHAR* b) {
    for (; *a && *b; ++a, ++b) {
        if (std::towlower(static_cast<wint_t>(*a)) != std::towlower(static_cast<wint_t>(*b)))
            return false;
    }
    return *a == *b;
}

}  // namespace

const MCHAR* ClassDesc::GetRsrcString(INT_PTR id) {
    // With a zero buffer size LoadStringW hands back a pointer to the entry itself.
    const MCHAR* entry = nullptr;
    const int n =
        LoadStringW(HInstance(), static_cast<UINT>(id), reinterpret_cast<LPWSTR>(&entry), 0);
    return n > 0 ? entry : nullptr;
}

void ClassDesc::AddInterface(FPInterface* fpi) {
    if (fpi != nullptr) interfaces_.Append(1, &fpi);
}

FPInterface* ClassDesc::GetInterfaceAt(int i) {
    return i >= 0 && i < interfaces_.Count() ? interfaces_[i] : nullptr;
}

FPInterface* ClassDesc::GetInterface(Interface_ID id) {
    for (FPInterface* fpi : interfaces_) {
        if (fpi->GetID() == id) return fpi;
    }
    return nullptr;
}

FPInterface* ClassDesc::GetInterface(const MCHAR* name) {
    if (name == nullptr || *name == 0) return nullptr;
    for (FPInterface* fpi : interfaces_) {
        FPInterfaceDesc* desc = fpi->GetDesc();
        if (desc != nullptr && SameNameNoCase(desc->internal_name.data(), name)) return fpi;
    }
    return nullptr;
}
