// Function publishing: the interface descriptor and its argument list.
#include <exception>
#include <string>

#include "fp_kinds.h"
#include "ifnpub.h"
#include "plugapi.h"
#include "varargs_reader.h"

using namespace fp_detail;

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
