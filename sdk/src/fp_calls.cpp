// Function publishing: calls by function ID and by name, with the arguments converted.
#include <string>

#include "fp_kinds.h"
#include "ifnpub.h"

using namespace fp_detail;

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
