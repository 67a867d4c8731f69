// Function publishing: FPValue, the tagged value that carries arguments and results.
#include <string>

#include "fp_kinds.h"
#include "ifnpub.h"

using namespace fp_detail;

FPValue::FPValue(const FPValue& from) : ptr(nullptr) { CopyFrom(from); }

FPValue::FPValue(FPValue&& from) noexcept : type(from.type), owned_(from.owned_) {
    dbl = from.dbl;  // the widest member carries every alternative
    from.type = TYPE_VOID;
    from.ptr = nullptr;
    from.owned_ = false;
}

FPValue& FPValue::operator=(const FPValue& from) {
    if (this != &from) {
        Free();
        CopyFrom(from);
    }
    return *this;
}

FPValue& FPValue::operator=(FPValue&& from) noexcept {
    if (this != &from) {
        Free();
        type = from.type;
        dbl = from.dbl;
        owned_ = from.owned_;
        from.type = TYPE_VOID;
        from.ptr = nullptr;
        from.owned_ = false;
    }
    return *this;
}

void FPValue::CopyFrom(const FPValue& from) {
    type = from.type;
    dbl = from.dbl;
    owned_ = false;
    if (!from.owned_ || from.ptr == nullptr) return;
    // Owned storage is copied so each value frees its own.
    const ParamType2 root = root_type(type);
    if (IsPointKind(root) && !is_tab(root)) {
        p = new Point3(*from.p);
    } else if (root == TYPE_MATRIX3) {
        m = new Matrix3(*from.m);
    } else if (IsStringKind(root) && !is_tab(root)) {
        const std::wstring copy(from.s);
        s = new MCHAR[copy.size() + 1];
        std::wcscpy(s, copy.c_str());
    } else if (root == TYPE_TSTR) {
        tstr = new MSTR(*from.tstr);
    } else if (root == TYPE_INODE_TAB) {
        n_tab = new Tab<INode*>(*from.n_tab);
    } else if (root == TYPE_TSTR_TAB) {
        tstr_tab = new Tab<MSTR*>();
        for (MSTR* str : *from.tstr_tab) {
            MSTR* c = str ? new MSTR(*str) : nullptr;
            tstr_tab->Append(1, &c);
        }
    } else if (is_tab(root) && IsFloatKind(root)) {
        f_tab = new Tab<float>(*from.f_tab);
    } else if (is_tab(root)) {
        i_tab = new Tab<int>(*from.i_tab);
    } else if (root == TYPE_FPVALUE) {
        fpv = new FPValue(*from.fpv);
    }
    owned_ = true;
}

void FPValue::Free() {
    if (owned_ && ptr != nullptr) {
        const ParamType2 root = root_type(type);
        if (IsPointKind(root) && !is_tab(root)) {
            delete p;
        } else if (root == TYPE_MATRIX3) {
            delete m;
        } else if (IsStringKind(root) && !is_tab(root)) {
            delete[] s;
        } else if (root == TYPE_TSTR) {
            delete tstr;
        } else if (root == TYPE_INODE_TAB) {
            delete n_tab;
        } else if (root == TYPE_TSTR_TAB) {
            for (MSTR* str : *tstr_tab) delete str;
            delete tstr_tab;
        } else if (is_tab(root) && IsFloatKind(root)) {
            delete f_tab;
        } else if (is_tab(root)) {
            delete i_tab;
        } else if (root == TYPE_FPVALUE) {
            delete fpv;
        }
    }
    type = TYPE_VOID;
    ptr = nullptr;
    owned_ = false;
}

void FPValue::Load(ParamType2 aType, int v) {
    Free();
    type = aType;
    if (IsFloatKind(aType) && !is_tab(aType)) {
        f = static_cast<float>(v);
    } else if (base_type(aType) == TYPE_bool) {
        b = v != 0;
    } else if (base_type(aType) == TYPE_DWORD) {
        d = static_cast<DWORD>(v);
    } else if (base_type(aType) == TYPE_DOUBLE) {
        dbl = v;
    } else if (IsIntKind(aType) && !is_tab(aType)) {
        i = v;
    } else {
        type = TYPE_INT;
        i = v;
    }
}

void FPValue::Load(ParamType2 aType, INT64 v) {
    if (base_type(aType) != TYPE_INT64 || is_tab(aType)) {
        Load(aType, static_cast<double>(v));
        return;
    }
    Free();
    type = aType;
    i64 = v;
}

void FPValue::Load(ParamType2 aType, double v) {
    Free();
    type = aType;
    if (IsIntKind(aType) && !is_tab(aType)) {
        i = static_cast<int>(v);
    } else if (base_type(aType) == TYPE_bool) {
        b = v != 0.0;
    } else if (base_type(aType) == TYPE_DWORD) {
        d = static_cast<DWORD>(v);
    } else if (base_type(aType) == TYPE_DOUBLE) {
        dbl = v;
    } else if (IsFloatKind(aType) && !is_tab(aType)) {
        f = static_cast<float>(v);
    } else {
        type = TYPE_FLOAT;
        f = static_cast<float>(v);
    }
}

void FPValue::Load(ParamType2 aType, float v) { Load(aType, static_cast<double>(v)); }

void FPValue::Load(ParamType2 aType, const Point3& v) {
    Free();
    type = IsPointKind(aType) && !is_tab(aType) ? root_type(aType) : TYPE_POINT3_BV;
    if (is_by_ref(type)) type = static_cast<ParamType2>(type - TYPE_BY_REF + TYPE_BY_VAL);
    p = new Point3(v);
    owned_ = true;
}

void FPValue::Load(ParamType2 aType, const Matrix3& v) {
    Free();
    type = base_type(aType) == TYPE_MATRIX3 && !is_tab(aType) ? root_type(aType) : TYPE_MATRIX3_BV;
    if (is_by_ref(type)) type = TYPE_MATRIX3_BV;
    m = new Matrix3(v);
    owned_ = true;
}

void FPValue::Load(ParamType2 aType, const MCHAR* v) {
    if (base_type(aType) == TYPE_TSTR) {
        Load(aType, MSTR(v));
        return;
    }
    Free();
    type = IsStringKind(aType) && !is_tab(aType) ? root_type(aType) : TYPE_STRING;
    if (v == nullptr) return;
    const std::wstring copy(v);
    s = new MCHAR[copy.size() + 1];
    std::wcscpy(s, copy.c_str());
    owned_ = true;
}

void FPValue::Load(ParamType2 aType, const MSTR& v) {
    if (IsStringKind(aType)) {
        Load(aType, v.data());
        return;
    }
    Free();
    type = base_type(aType) == TYPE_TSTR && !is_tab(aType) ? root_type(aType) : TYPE_TSTR_BV;
    if (is_by_ref(type)) type = TYPE_TSTR_BV;
    tstr = new MSTR(v);
    owned_ = true;
}

void FPValue::Load(ParamType2 /*aType*/, INode* v) {
    Free();
    type = TYPE_INODE;
    n = v;
}

void FPValue::Load(ParamType2 /*aType*/, Mtl* v) {
    Free();
    type = TYPE_MTL;
    mtl = v;
}

void FPValue::Load(ParamType2 /*aType*/, Texmap* v) {
    Free();
    type = TYPE_TEXMAP;
    tex = v;
}

void FPValue::Load(ParamType2 /*aType*/, ReferenceTarget* v) {
    Free();
    type = TYPE_REFTARG;
    r = v;
}

void FPValue::Load(ParamType2 aType, std::nullptr_t) {
    Free();
    type = aType;
}

namespace {

// The table type to record for a table loaded as aType: aType itself when it names a table of
// the right base kind (by value when asked by reference, since the value holds a copy),
// otherwise the plain table type given.
ParamType2 TabType(ParamType2 aType, bool baseMatches, ParamType2 plain) {
    if (!is_tab(aType) || !baseMatches) return plain;
    if (is_by_ref(aType)) return static_cast<ParamType2>(aType - TYPE_BY_REF + TYPE_BY_VAL);
    return aType;
}

}  // namespace

void FPValue::Load(ParamType2 aType, const Tab<int>& v) {
    Free();
    type = TabType(aType, IsIntKind(aType), TYPE_INT_TAB);
    i_tab = new Tab<int>(v);
    owned_ = true;
}

void FPValue::Load(ParamType2 aType, const Tab<float>& v) {
    Free();
    type = TabType(aType, IsFloatKind(aType), TYPE_FLOAT_TAB);
    f_tab = new Tab<float>(v);
    owned_ = true;
}

void FPValue::Load(ParamType2 aType, const Tab<INode*>& v) {
    Free();
    type = TabType(aType, base_type(aType) == TYPE_INODE, TYPE_INODE_TAB);
    n_tab = new Tab<INode*>(v);
    owned_ = true;
}

void FPValue::Load(ParamType2 aType, Tab<INode*>* v) {
    if (v != nullptr && is_by_ref(aType) && is_tab(aType) && base_type(aType) == TYPE_INODE) {
        Free();
        type = aType;
        n_tab = v;
        return;
    }
    if (v == nullptr) {
        Load(aType, nullptr);
        return;
    }
    Load(aType, *static_cast<const Tab<INode*>*>(v));
}

void FPValue::Load(ParamType2 /*aType*/, const Tab<MSTR*>& v) {
    Free();
    type = TYPE_TSTR_TAB;
    tstr_tab = new Tab<MSTR*>();
    for (MSTR* str : v) {
        MSTR* c = str ? new MSTR(*str) : nullptr;
        tstr_tab->Append(1, &c);
    }
    owned_ = true;
}

bool FPValue::IsNumber() const { return IsScalarNumber(type); }

double FPValue::AsDouble() const {
    if (!IsScalarNumber(type)) return 0.0;
    const ParamType2 bt = base_type(type);
    if (bt == TYPE_bool) return b ? 1.0 : 0.0;
    if (bt == TYPE_INT64) return static_cast<double>(i64);
    if (bt == TYPE_DWORD) return d;
    if (bt == TYPE_DOUBLE) return dbl;
    if (IsFloatKind(type)) return f;
    return i;
}
