// The kinds of parameter types that FPValue, the descriptors and the calls all ask about, and
// the names messages give them. Private to the function-publishing sources.
#pragma once

#include <cwctype>
#include <string>

#include "ifnpub.h"

namespace fp_detail {

inline bool IsIntKind(int t) {
    switch (base_type(t)) {
        case TYPE_INT:
        case TYPE_BOOL:
        case TYPE_TIMEVALUE:
        case TYPE_RADIOBTN_INDEX:
        case TYPE_INDEX:
        case TYPE_ENUM:
            return true;
        default:
            return false;
    }
}

inline bool IsFloatKind(int t) {
    switch (base_type(t)) {
        case TYPE_FLOAT:
        case TYPE_ANGLE:
        case TYPE_PCNT_FRAC:
        case TYPE_WORLD:
        case TYPE_COLOR_CHANNEL:
            return true;
        default:
            return false;
    }
}

inline bool IsStringKind(int t) {
    const ParamType2 b = base_type(t);
    return b == TYPE_STRING || b == TYPE_FILENAME || b == TYPE_NAME;
}

inline bool IsPointKind(int t) {
    const ParamType2 b = base_type(t);
    return b == TYPE_POINT3 || b == TYPE_RGBA || b == TYPE_HSV;
}

// The numeric scalar types (no tables, no by-reference forms).
inline bool IsScalarNumber(int t) {
    if (is_tab(t) || is_by_ref(t)) return false;
    const ParamType2 b = base_type(t);
    return IsIntKind(t) || IsFloatKind(t) || b == TYPE_bool || b == TYPE_DWORD ||
           b == TYPE_DOUBLE || b == TYPE_INT64;
}

inline std::string Narrow(const MCHAR* s) { return ToUTF8(std::wstring(s ? s : L"")); }

// The type's SDK name for messages, or its number when it has none.
inline std::string TypeText(int t) {
    const std::string name = Narrow(ParamTypeName(t));
    return name.empty() ? std::to_string(t) : name;
}

inline bool SameName(const MCHAR* a, const MCHAR* b) {
    if (!a || !b) return false;
    for (; *a && *b; ++a, ++b) {
        if (std::towlower(static_cast<wint_t>(*a)) != std::towlower(static_cast<wint_t>(*b)))
            return false;
    }
    return *a == *b;
}

}  // namespace fp_detail
