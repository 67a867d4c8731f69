// Function publishing: FPValue, the interface descriptor's argument list, calls by ID and by name.
#include "ifnpub.h"

#include <cwchar>
#include <cwctype>
#include <exception>
#include <string>

#include "plugapi.h"
#include "varargs_reader.h"

// ----- FPValue ---------------------------------------------------------------------------------

namespace {

bool IsIntKind(int t) {
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

bool IsFloatKind(int t) {
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

bool IsStringKind(int t) {
    const ParamType2 b = base_type(t);
    return b == TYPE_STRING || b == TYPE_FILENAME || b == TYPE_NAME;
}

bool IsPointKind(int t) {
    const ParamType2 b = base_type(t);
    return b == TYPE_POINT3 || b == TYPE_RGBA || b == TYPE_HSV;
}

// The numeric scalar types (no tables, no by-reference forms).
bool IsScalarNumber(int t) {
    if (is_tab(t) || is_by_ref(t)) return false;
    const ParamType2 b = base_type(t);
    return IsIntKind(t) || IsFloatKind(t) || b == TYPE_bool || b == TYPE_DWORD ||
           b == TYPE_DOUBLE || b == TYPE_INT64;
}

std::string Narrow(const MCHAR* s) { return ToUTF8(std::wstring(s ? s : L"")); }

// The type's SDK name for messages, or its number when it has none.
std::string TypeText(int t) {
    const std::string name = Narrow(ParamTypeName(t));
    return name.empty() ? std::to_string(t) : name;
}

bool SameName(const MCHAR* a, const MCHAR* b) {
    if (!a || !b) return false;
    for (; *a && *b; ++a, ++b) {
        if (std::towlower(static_cast<wint_t>(*a)) != std::towlower(static_cast<wint_t>(*b)))
            return false;
    }
    return *a == *b;
}

}  // namespace

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

void FPValue::Load(ParamType2 aType, bool v) {
    if (base_type(aType) == TYPE_bool) {
        Free();
        type = aType;
        b = v;
    } else {
        Load(aType, v ? 1 : 0);
    }
}

void FPValue::Load(ParamType2 aType, const Point3& v) {
    Free();
    type = IsPointKind(aType) && !is_tab(aType) ? root_type(aType) : TYPE_POINT3_BV;
    if (is_by_ref(type)) type = static_cast<ParamType2>(type - TYPE_BY_REF + TYPE_BY_VAL);
    p = new Point3(v);
    owned_ = true;
}

void FPValue::Load(ParamType2 aType, Point3* v) {
    if (v != nullptr && is_by_ref(aType) && IsPointKind(aType)) {
        Free();
        type = aType;
        p = v;
        return;
    }
    if (v == nullptr) {
        Free();
        type = IsPointKind(aType) ? aType : TYPE_POINT3;
        return;
    }
    Load(aType, *static_cast<const Point3*>(v));
}

void FPValue::Load(ParamType2 aType, const Matrix3& v) {
    Free();
    type = base_type(aType) == TYPE_MATRIX3 && !is_tab(aType) ? root_type(aType) : TYPE_MATRIX3_BV;
    if (is_by_ref(type)) type = TYPE_MATRIX3_BV;
    m = new Matrix3(v);
    owned_ = true;
}

void FPValue::Load(ParamType2 aType, Matrix3* v) {
    if (v != nullptr && is_by_ref(aType) && base_type(aType) == TYPE_MATRIX3) {
        Free();
        type = aType;
        m = v;
        return;
    }
    if (v == nullptr) {
        Free();
        type = base_type(aType) == TYPE_MATRIX3 ? aType : TYPE_MATRIX3;
        return;
    }
    Load(aType, *static_cast<const Matrix3*>(v));
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

void FPValue::Load(ParamType2 /*aType*/, FPInterface* v) {
    Free();
    type = TYPE_INTERFACE;
    fpi = v;
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

void FPValue::Load(ParamType2 aType, Tab<int>* v) {
    if (v != nullptr && is_by_ref(aType) && is_tab(aType) && IsIntKind(aType)) {
        Free();
        type = aType;
        i_tab = v;
        return;
    }
    if (v == nullptr) {
        Load(aType, nullptr);
        return;
    }
    Load(aType, *static_cast<const Tab<int>*>(v));
}

void FPValue::Load(ParamType2 aType, const Tab<float>& v) {
    Free();
    type = TabType(aType, IsFloatKind(aType), TYPE_FLOAT_TAB);
    f_tab = new Tab<float>(v);
    owned_ = true;
}

void FPValue::Load(ParamType2 aType, Tab<float>* v) {
    if (v != nullptr && is_by_ref(aType) && is_tab(aType) && IsFloatKind(aType)) {
        Free();
        type = aType;
        f_tab = v;
        return;
    }
    if (v == nullptr) {
        Load(aType, nullptr);
        return;
    }
    Load(aType, *static_cast<const Tab<float>*>(v));
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

// ----- Descriptors ------------------------------------------------------------------------------

FPFunctionDef::~FPFunctionDef() {
    for (FPParamDef* pd : params) delete pd;
}

namespace {

bool IsKnownType(int t) {
    if ((t & ~(0x07FF | TYPE_TAB | TYPE_BY_REF | TYPE_BY_VAL | TYPE_BY_PTR)) != 0) return false;
    const int pass = t & (TYPE_BY_REF | TYPE_BY_VAL | TYPE_BY_PTR);
    if ((pass & (pass - 1)) != 0) return false;  // at most one way of passing
    const int b = base_type(t);
    return (b >= TYPE_FLOAT && b <= TYPE_FRGBA) || b == TYPE_POINT2 ||
           (b >= TYPE_ENUM && b <= TYPE_DOUBLE);
}

bool IsFunctionTag(int v) { return v >= f_category && v <= f_index; }

}  // namespace

FPInterfaceDesc::FPInterfaceDesc(Interface_ID id, const MCHAR* int_name, StringResID descr,
                                 ClassDesc* i_cd, ULONG flag, ...) {
    va_list ap;
    va_start(ap, flag);
    load_descriptor(id, int_name, descr, i_cd, flag, ap);
    va_end(ap);
}

FPInterfaceDesc::~FPInterfaceDesc() {
    for (FPFunctionDef* fd : functions) delete fd;
}

void FPInterfaceDesc::LoadDescriptor(Interface_ID id, const MCHAR* int_name, StringResID descr,
                                     ClassDesc* i_cd, ULONG flag, ...) {
    va_list ap;
    va_start(ap, flag);
    load_descriptor(id, int_name, descr, i_cd, flag, ap);
    va_end(ap);
}

void FPInterfaceDesc::load_descriptor(Interface_ID id, const MCHAR* int_name, StringResID descr,
                                      ClassDesc* i_cd, ULONG flag, va_list ap) {
    for (FPFunctionDef* fd : functions) delete fd;
    functions.ZeroCount();
    errors.clear();
    ID = id;
    internal_name = MSTR(int_name);
    description = descr;
    cd = i_cd;
    flags = flag;

    const std::string where = "interface '" + Narrow(int_name) + "': ";
    if ((flag & FP_ACTIONS) != 0) {
        errors.push_back(where + "action interfaces are not supported; no functions read");
        return;
    }

    VarArgReader args(ap);
    for (;;) {
        const int token = args.Int();
        if (token == p_end) return;
        if (token < 0 || token > 0x7FFF) {
            errors.push_back(where + "expected a function ID or p_end, found " +
                             std::to_string(token));
            return;
        }
        const FunctionID fid = static_cast<FunctionID>(token);
        if (GetFnDef(fid) != nullptr) {
            errors.push_back(where + "function ID " + std::to_string(fid) + " is used twice");
            return;
        }
        auto* fd = new FPFunctionDef();
        fd->ID = fid;
        fd->internal_name = MSTR(static_cast<const MCHAR*>(args.Ptr()));
        fd->description = args.Int();
        const int resultType = args.Int();
        fd->flags = static_cast<USHORT>(args.Int());
        const int numArgs = args.Int();
        const std::string fnWhere =
            where + "function " + std::to_string(fid) + " '" + Narrow(fd->internal_name) + "': ";
        if (!IsKnownType(resultType)) {
            errors.push_back(fnWhere + "unknown result type " + TypeText(resultType));
            delete fd;
            return;
        }
        fd->result_type = static_cast<ParamType2>(resultType);
        if (numArgs < 0 || numArgs > 64) {
            errors.push_back(fnWhere + "argument count " + std::to_string(numArgs) +
                             " is out of range");
            delete fd;
            return;
        }
        functions.Append(1, &fd);

        for (int k = 0; k < numArgs; ++k) {
            auto* pd = new FPParamDef();
            fd->params.Append(1, &pd);
            pd->internal_name = MSTR(static_cast<const MCHAR*>(args.Ptr()));
            pd->description = args.Int();
            const int argType = args.Int();
            if (!IsKnownType(argType)) {
                errors.push_back(fnWhere + "argument " + std::to_string(k) + " '" +
                                 Narrow(pd->internal_name) + "' has unknown type " +
                                 TypeText(argType));
                return;
            }
            pd->type = static_cast<ParamType2>(argType);

            // Optional tags of this argument.
            while (IsFunctionTag(args.PeekInt())) {
                const int tag = args.Int();
                if (pd->options == nullptr) pd->options = new FPParamOptions();
                FPParamOptions& opt = *pd->options;
                const bool floatArg = IsFloatKind(argType) || base_type(argType) == TYPE_DOUBLE;
                const bool intArg = IsIntKind(argType) || base_type(argType) == TYPE_DWORD ||
                                    base_type(argType) == TYPE_bool;
                if (tag == f_range && (floatArg || intArg)) {
                    if (floatArg) {
                        const double lo = args.Double();
                        opt.range_low.Load(pd->type, lo);
                        opt.range_high.Load(pd->type, args.Double());
                    } else {
                        const int lo = args.Int();
                        opt.range_low.Load(pd->type, lo);
                        opt.range_high.Load(pd->type, args.Int());
                    }
                    pd->flags |= FPP_HAS_RANGE;
                } else if (tag == f_inOut) {
                    pd->flags = static_cast<USHORT>((pd->flags & ~FPP_IN_OUT_PARAM) |
                                                    (args.Int() & FPP_IN_OUT_PARAM));
                } else if (tag == f_validator) {
                    opt.validator = static_cast<FPValidator*>(args.Ptr());
                    pd->flags |= FPP_HAS_VALIDATOR;
                } else if (tag == f_index) {
                    pd->flags |= FPP_INDEX;
                } else if (tag == f_keyArgDefault) {
                    const ParamType2 b = base_type(argType);
                    if (is_tab(argType)) {
                        errors.push_back(fnWhere + "a table argument cannot have a default");
                        return;
                    }
                    if (floatArg) {
                        opt.keyarg_default.Load(pd->type, args.Double());
                    } else if (intArg) {
                        opt.keyarg_default.Load(pd->type, args.Int());
                    } else if (IsStringKind(argType) || b == TYPE_TSTR) {
                        opt.keyarg_default.Load(pd->type, static_cast<const MCHAR*>(args.Ptr()));
                    } else if (IsPointKind(argType)) {
                        opt.keyarg_default.Load(pd->type, args.Value<Point3>());
                    } else if (b == TYPE_INODE) {
                        opt.keyarg_default.Load(pd->type, static_cast<INode*>(args.Ptr()));
                    } else if (b == TYPE_MTL) {
                        opt.keyarg_default.Load(pd->type, static_cast<Mtl*>(args.Ptr()));
                    } else if (b == TYPE_TEXMAP) {
                        opt.keyarg_default.Load(pd->type, static_cast<Texmap*>(args.Ptr()));
                    } else if (b == TYPE_REFTARG) {
                        opt.keyarg_default.Load(pd->type,
                                                static_cast<ReferenceTarget*>(args.Ptr()));
                    } else {
                        errors.push_back(fnWhere + "no keyword default for argument type " +
                                         TypeText(argType));
                        return;
                    }
                    pd->flags |= FPP_KEYARG;
                    fd->flags |= FP_HAS_KEYARGS;
                    ++fd->keyparam_count;
                } else {
                    errors.push_back(fnWhere + "tag " + std::to_string(tag - f_category) +
                                     " after argument '" + Narrow(pd->internal_name) +
                                     "' is not supported");
                    return;
                }
            }
        }
    }
}

Interface_ID FPInterfaceDesc::GetID() {
    FPInterfaceDesc* desc = GetDesc();
    return desc != nullptr && desc != this ? desc->ID : ID;
}

BaseInterface* FPInterfaceDesc::GetInterface(Interface_ID id) {
    if (id == FPINTERFACEDESC_ID) return this;
    return FPInterface::GetInterface(id);
}

FPFunctionDef* FPInterfaceDesc::GetFnDef(FunctionID fid) {
    for (FPFunctionDef* fd : functions) {
        if (fd->ID == fid) return fd;
    }
    return nullptr;
}

FPFunctionDef* FPInterfaceDesc::FindFnDef(const MCHAR* name) {
    if (name == nullptr || *name == 0) return nullptr;
    for (FPFunctionDef* fd : functions) {
        if (SameName(fd->internal_name.data(), name)) return fd;
    }
    return nullptr;
}

HINSTANCE FPInterfaceDesc::HInstance() { return cd ? cd->HInstance() : nullptr; }

const MCHAR* FPInterfaceDesc::GetRsrcString(StringResID id) {
    return cd ? cd->GetRsrcString(id) : nullptr;
}

// ----- Calls
// --------------------------------------------------------------------------------------

BaseInterface* FPInterface::GetInterface(Interface_ID id) {
    if (id == FPINTERFACE_ID) return this;
    if (id == FPINTERFACEDESC_ID) return GetDesc();
    return BaseInterface::GetInterface(id);
}

Interface_ID FPInterface::GetID() {
    FPInterfaceDesc* desc = GetDesc();
    return desc ? desc->ID : NULLINTERFACE_ID;
}

FPStatus FPInterface::Invoke(FunctionID fid, TimeValue t, FPParams* params) {
    FPValue result;
    return Invoke(fid, t, result, params);
}

FPStatus FPInterface::Invoke(FunctionID fid, TimeValue t, FPValue& result, FPParams* params) {
    FPParams none;
    return _dispatch_fn(fid, t, result, params ? params : &none);
}

FunctionID FPInterface::FindFn(const MCHAR* name) {
    FPInterfaceDesc* desc = GetDesc();
    FPFunctionDef* fd = desc ? desc->FindFnDef(name) : nullptr;
    return fd ? fd->ID : FP_NO_FUNCTION;
}

namespace {

bool IsPointerKind(int t) {
    switch (base_type(t)) {
        case TYPE_INODE:
        case TYPE_MTL:
        case TYPE_TEXMAP:
        case TYPE_REFTARG:
        case TYPE_INTERFACE:
            return !is_tab(t);
        default:
            return false;
    }
}

// Converts v to an argument of type want; false when it cannot be one.
bool Coerce(const FPValue& v, ParamType2 want, FPValue& out) {
    if (IsScalarNumber(want)) {
        if (!v.IsNumber()) return false;
        if (IsFloatKind(want) || base_type(want) == TYPE_DOUBLE) {
            out.Load(want, v.AsDouble());
        } else {
            // Whole numbers only: 2.5 is not an index.
            const double x = v.AsDouble();
            if (x != static_cast<double>(static_cast<long long>(x))) return false;
            out.Load(want, static_cast<int>(x));
        }
        return true;
    }
    const ParamType2 root = root_type(want);
    if (IsStringKind(root) || base_type(root) == TYPE_TSTR) {
        if (is_tab(root)) return false;
        if (IsStringKind(v.type) && !is_tab(v.type)) {
            out.Load(want, static_cast<const MCHAR*>(v.s ? v.s : L""));
        } else if (base_type(v.type) == TYPE_TSTR && !is_tab(v.type) && v.tstr) {
            out.Load(want, *v.tstr);
        } else {
            return false;
        }
        return true;
    }
    if (IsPointerKind(want)) {
        if (v.type == TYPE_VOID || (IsPointerKind(v.type) && v.ptr == nullptr)) {
            out.Load(want, nullptr);
            return true;
        }
        if (base_type(v.type) != base_type(want) || is_tab(v.type)) return false;
        out = v;
        return true;
    }
    if (IsPointKind(root) && !is_tab(root)) {
        if (!IsPointKind(v.type) || is_tab(v.type) || v.p == nullptr) return false;
        out.Load(want, *v.p);
        return true;
    }
    if (base_type(root) == TYPE_MATRIX3 && !is_tab(root)) {
        if (base_type(v.type) != TYPE_MATRIX3 || is_tab(v.type) || v.m == nullptr) return false;
        out.Load(want, *v.m);
        return true;
    }
    if (is_tab(root)) {
        if (!is_tab(v.type) || v.ptr == nullptr) return false;
        const ParamType2 wb = base_type(root);
        const ParamType2 vb = base_type(v.type);
        if (wb == TYPE_INODE && vb == TYPE_INODE) {
            out.Load(want, *v.n_tab);
        } else if (IsFloatKind(wb) && IsFloatKind(vb)) {
            out.Load(want, *v.f_tab);
        } else if (IsIntKind(wb) && IsIntKind(vb)) {
            out.Load(want, *v.i_tab);
        } else if (IsFloatKind(wb) && IsIntKind(vb)) {
            Tab<float> fl;
            for (int x : *v.i_tab) {
                const float fx = static_cast<float>(x);
                fl.Append(1, &fx);
            }
            out.Load(want, fl);
        } else if (wb == TYPE_TSTR && vb == TYPE_TSTR) {
            out.Load(want, *v.tstr_tab);
        } else {
            return false;
        }
        return true;
    }
    return false;
}

}  // namespace

FPStatus FPInterface::InvokeByName(const MCHAR* fnName, FPValue& result,
                                   const std::vector<FPNamedArg>& args, MSTR* error, TimeValue t) {
    auto fail = [error](FPStatus status, const std::string& why) {
        if (error) *error = MSTR::FromUTF8(why);
        return status;
    };
    FPInterfaceDesc* desc = GetDesc();
    if (desc == nullptr) return fail(FPS_NO_SUCH_FUNCTION, "the interface has no descriptor");
    const std::string iname = Narrow(desc->internal_name.data());
    FPFunctionDef* fd = desc->FindFnDef(fnName);
    if (fd == nullptr) {
        return fail(FPS_NO_SUCH_FUNCTION,
                    "interface '" + iname + "' has no function '" + Narrow(fnName) + "'");
    }
    const std::string fname = "'" + iname + "." + Narrow(fd->internal_name.data()) + "'";

    // Every given name must be declared, once.
    for (std::size_t k = 0; k < args.size(); ++k) {
        bool declared = false;
        for (FPParamDef* pd : fd->params) declared |= SameName(pd->internal_name, args[k].name);
        if (!declared) {
            return fail(FPS_FAIL, fname + " has no argument '" + Narrow(args[k].name.data()) + "'");
        }
        for (std::size_t j = 0; j < k; ++j) {
            if (SameName(args[j].name, args[k].name)) {
                return fail(FPS_FAIL,
                            fname + ": argument '" + Narrow(args[k].name.data()) + "' given twice");
            }
        }
    }

    FPParams params;
    for (FPParamDef* pd : fd->params) {
        const FPNamedArg* given = nullptr;
        for (const FPNamedArg& a : args) {
            if (SameName(pd->internal_name, a.name)) given = &a;
        }
        FPValue value;
        if (given == nullptr) {
            if (pd->options == nullptr || (pd->flags & FPP_KEYARG) == 0) {
                return fail(FPS_FAIL, fname + ": missing argument '" +
                                          Narrow(pd->internal_name.data()) + "'");
            }
            value = pd->options->keyarg_default;
        } else if (!Coerce(given->value, pd->type, value)) {
            return fail(FPS_FAIL, fname + ": argument '" + Narrow(pd->internal_name.data()) +
                                      "' must be " + TypeText(pd->type) + ", not " +
                                      TypeText(given->value.type));
        }
        params.params.append(value);
    }

    try {
        return Invoke(fd->ID, t, result, &params);
    } catch (const std::exception& e) {
        return fail(FPS_FAIL, fname + " failed: " + e.what());
    }
}
