// Names of the parameter types, as the SDK spells them without the TYPE_ prefix.
#include "paramtype.h"

#include <cwchar>
#include <map>
#include <string>

namespace {

struct TypeName {
    int type;
    const wchar_t* name;
};

// The base types a parameter block stores, and the argument types messages name.
constexpr TypeName kBaseNames[] = {
    {TYPE_FLOAT, L"FLOAT"},
    {TYPE_INT, L"INT"},
    {TYPE_RGBA, L"RGBA"},
    {TYPE_POINT3, L"POINT3"},
    {TYPE_BOOL, L"BOOL"},
    {TYPE_ANGLE, L"ANGLE"},
    {TYPE_PCNT_FRAC, L"PCNT_FRAC"},
    {TYPE_WORLD, L"WORLD"},
    {TYPE_STRING, L"STRING"},
    {TYPE_FILENAME, L"FILENAME"},
    {TYPE_HSV, L"HSV"},
    {TYPE_COLOR_CHANNEL, L"COLOR_CHANNEL"},
    {TYPE_TIMEVALUE, L"TIMEVALUE"},
    {TYPE_RADIOBTN_INDEX, L"RADIOBTN_INDEX"},
    {TYPE_MTL, L"MTL"},
    {TYPE_TEXMAP, L"TEXMAP"},
    {TYPE_BITMAP, L"BITMAP"},
    {TYPE_INODE, L"INODE"},
    {TYPE_REFTARG, L"REFTARG"},
    {TYPE_INDEX, L"INDEX"},
    {TYPE_MATRIX3, L"MATRIX3"},
    {TYPE_PBLOCK2, L"PBLOCK2"},
    {TYPE_POINT4, L"POINT4"},
    {TYPE_FRGBA, L"FRGBA"},
    {TYPE_POINT2, L"POINT2"},
    {TYPE_ENUM, L"ENUM"},
    {TYPE_VOID, L"VOID"},
    {TYPE_INTERVAL, L"INTERVAL"},
    {TYPE_TSTR, L"TSTR"},
    {TYPE_INTERFACE, L"INTERFACE"},
    {TYPE_NAME, L"NAME"},
    {TYPE_FPVALUE, L"FPVALUE"},
    {TYPE_DWORD, L"DWORD"},
    {TYPE_bool, L"bool"},
    {TYPE_DOUBLE, L"DOUBLE"},
};

}  // namespace

const wchar_t* ParamTypeName(int t) {
    // Each spelling is built once: the base name plus "_TAB", "_BR", "_BV" as flagged.
    static std::map<int, std::wstring> names;
    const int pass = t & (TYPE_BY_REF | TYPE_BY_VAL | TYPE_BY_PTR);
    if ((t & ~(0x07FF | TYPE_TAB | TYPE_BY_REF | TYPE_BY_VAL | TYPE_BY_PTR)) != 0) return L"";
    if ((pass & (pass - 1)) != 0) return L"";
    const int base = base_type(t);
    const wchar_t* baseName = nullptr;
    for (const TypeName& tn : kBaseNames) {
        if (tn.type == base) baseName = tn.name;
    }
    if (baseName == nullptr) return L"";
    std::wstring& name = names[t];
    if (name.empty()) {
        name = baseName;
        if (is_tab(t)) name += L"_TAB";
        if (pass == TYPE_BY_REF) name += L"_BR";
        if (pass == TYPE_BY_VAL) name += L"_BV";
        if (pass == TYPE_BY_PTR) name += L"_BP";
    }
    return name.c_str();
}

int ParamTypeFromName(const wchar_t* name) {
    if (name == nullptr) return -1;
    for (const TypeName& tn : kBaseNames) {
        if (pb_storage(tn.type) == PBStorage::None) continue;
        if (std::wcscmp(name, tn.name) == 0) return tn.type;
        if (std::wcscmp(name, (std::wstring(tn.name) + L"_TAB").c_str()) == 0)
            return tn.type + TYPE_TAB;
    }
    return -1;
}
