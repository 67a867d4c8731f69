// Function publishing: interfaces whose functions a caller finds in a descriptor and calls by ID.
//
// An FPInterfaceDesc describes one interface: its Interface_ID, internal name, owning class
// descriptor and its functions (ID, internal name, result type, and per argument a name and a
// type), built from the SDK's argument list:
//
//   static FPInterfaceDesc desc(MY_INTERFACE_ID, _M("myInterface"), 0, &myClassDesc, FP_MIXIN,
//       fn_count, _M("count"), 0, TYPE_INT, 0, 0,
//       fn_add, _M("add"), 0, TYPE_VOID, 0, 2,
//           _M("node"), 0, TYPE_INODE,
//           _M("weight"), 0, TYPE_FLOAT, f_keyArgDefault, 1.0f,
//       p_end);
//
// Each function: id, internal name, description string ID, result type, flags, argument count,
// then per argument its name, description string ID and type, optionally followed by the tags
// f_range (low, high), f_inOut (flags), f_keyArgDefault (value), f_validator (pointer) and
// f_index. Values given to tags have the argument's type: an int for int-like types, a float
// (passed as double) for float-like ones, a pointer for strings and nodes. p_end closes the list.
// The descriptor does not add itself to the class descriptor's interface list: the owner calls
// ClassDesc::AddInterface. A list it cannot read (an unknown type code, a tag out of place, a
// repeated function ID, action interfaces, which this stand-in does not model) stops the reading
// at that point; what was read stays, and the problem is recorded in errors.
//
// An interface's implementation answers calls in _dispatch_fn(fid, t, result, params): it reads
// its arguments from params->params (a MaxSDK::Array, whose operator[] raises
// MaxSDK::Util::ArrayOutOfRangeException for an index past the end), puts its result in result
// and returns FPS_OK, or FPS_NO_SUCH_FUNCTION (-1) for an ID it does not know. The function-map
// macros (BEGIN_FUNCTION_MAP, FN_1, VFN_2, ...) write that switch.
//
// FPValue holds one argument or result. It owns copies of the values behind its pointers for
// points, matrices, strings and tables (loaded with Load; copied with the value; freed by Free
// and the destructor); nodes, materials, maps, reference targets and interfaces are held, not
// owned. By-reference (_BR) values loaded from a pointer keep the caller's pointer.
//
// Stand-in extension: InvokeByName calls a function by its internal name with named arguments,
// as the scripting layer does, checking names and types and turning every failure (including an
// exception raised by the function) into a status and a message, so nothing crosses into the
// host.
//
// A published function refuses a call by throwing MAXException with a message, as the SDK's
// functions do for the scripting layer. Stand-in: MAXException is also a std::runtime_error whose
// what() is the message in UTF-8, so InvokeByName reports it like any other exception.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <vector>

#include "baseinterface.h"
#include "containers/Array.h"
#include "matrix3.h"
#include "maxtypes.h"
#include "paramtype.h"
#include "point3.h"
#include "strclass.h"
#include "tab.h"
#include "windows.h"

class ClassDesc;
class FPInterface;
class FPInterfaceDesc;
class FPValidator;
class INode;
class Mtl;
class ReferenceTarget;
class Texmap;

using FunctionID = short;
using EnumID = short;
using FPStatus = int;
using StringResID = INT_PTR;
using ResID = INT_PTR;

constexpr FunctionID FP_NO_FUNCTION = -1;
constexpr EnumID FP_NO_ENUM = -1;

// FPStatus values.
constexpr FPStatus FPS_FAIL = 0;
constexpr FPStatus FPS_NO_SUCH_FUNCTION = -1;
constexpr FPStatus FPS_ACTION_DISABLED = -2;
constexpr FPStatus FPS_OK = 1;

// The exception a published function throws to refuse a call; the caller reports message.
class MAXException : public std::runtime_error {
public:
    explicit MAXException(const MCHAR* msg, int code = 0)
        : std::runtime_error(MSTR(msg ? msg : _M("")).ToUTF8()),
          message(msg ? msg : _M("")),
          error_code(code) {}

    MSTR message;
    int error_code;
};

// Built-in interface IDs.
constexpr Interface_ID NULLINTERFACE_ID(0, 0);
constexpr Interface_ID FPINTERFACE_ID(0, 2);
constexpr Interface_ID FPMIXININTERFACE_ID(0, 3);
constexpr Interface_ID FPINTERFACEDESC_ID(0, 4);

// Interface descriptor flags.
constexpr ULONG FP_ACTIONS = 0x0001;
constexpr ULONG FP_MIXIN = 0x0002;
constexpr ULONG FP_CORE = 0x0004;
constexpr ULONG FP_STATIC_METHODS = 0x0008;
constexpr ULONG FP_TEST_INTERFACE = 0x0010;

// Function flags.
constexpr USHORT FP_NO_REDRAW = 0x0001;
constexpr USHORT FP_VAR_ARGS = 0x0002;
constexpr USHORT FP_CLIENT_OWNS_RESULT = 0x0004;
constexpr USHORT FP_HAS_KEYARGS = 0x2000;

// Argument flags.
constexpr USHORT FPP_HAS_RANGE = 0x0001;
constexpr USHORT FPP_HAS_VALIDATOR = 0x0002;
constexpr USHORT FPP_IN_PARAM = 0x0004;
constexpr USHORT FPP_OUT_PARAM = 0x0008;
constexpr USHORT FPP_IN_OUT_PARAM = 0x000C;
constexpr USHORT FPP_KEYARG = 0x0010;
constexpr USHORT FPP_INDEX = 0x0020;

// Option tags of a function's or argument's description.
enum FPFunctionTags : int {
    f_category = -(1 << 30),
    f_predicates,
    f_isEnabled,
    f_isChecked,
    f_isVisible,
    f_iconRes,
    f_icon,
    f_buttonText,
    f_toolTip,
    f_menuText,
    f_ui,
    f_shortCut,
    f_macroEmitter,
    f_range,
    f_validator,
    f_inOut,
    f_keyArgDefault,
    f_index,
};

class FPValue {
public:
    ParamType2 type = TYPE_VOID;
    union {
        int i;
        float f;
        DWORD d;
        bool b;
        TimeValue t;
        INT_PTR intptr;
        double dbl;
        INT64 i64;
        int* iptr;
        float* fptr;
        Point3* p;
        Matrix3* m;
        MCHAR* s;
        MSTR* tstr;
        Mtl* mtl;
        Texmap* tex;
        INode* n;
        ReferenceTarget* r;
        FPInterface* fpi;
        FPValue* fpv;
        void* ptr;
        Tab<int>* i_tab;
        Tab<float>* f_tab;
        Tab<INode*>* n_tab;
        Tab<MSTR*>* tstr_tab;
    };

    FPValue() : ptr(nullptr) {}
    // FPValue(TYPE_INT, 3), FPValue(TYPE_INODE, node): a value loaded as Load(type, v) does.
    template <class V>
    FPValue(ParamType2 aType, V v) : ptr(nullptr) {
        Load(aType, v);
    }
    FPValue(const FPValue& from);
    FPValue(FPValue&& from) noexcept;
    FPValue& operator=(const FPValue& from);
    FPValue& operator=(FPValue&& from) noexcept;
    ~FPValue() { Free(); }

    // Releases what the value owns and leaves an empty TYPE_VOID value.
    void Free();
    void Init() { Free(); }

    // Numbers convert to the numeric type asked for (ints, floats, BOOL, bool, DWORD, TimeValue,
    // double); a number loaded with a non-numeric type loads as TYPE_INT / TYPE_FLOAT.
    void Load(ParamType2 aType, int v);
    void Load(ParamType2 aType, float v);
    void Load(ParamType2 aType, double v);
    // A 64-bit integer (TYPE_INT64) keeps every bit; other numeric types convert as from double.
    void Load(ParamType2 aType, INT64 v);
    // Points and matrices are copied (TYPE_POINT3 and TYPE_POINT3_BV alike).
    void Load(ParamType2 aType, const Point3& v);
    void Load(ParamType2 aType, const Matrix3& v);
    // Strings are copied: TYPE_STRING / TYPE_FILENAME / TYPE_NAME into s, TYPE_TSTR into tstr.
    void Load(ParamType2 aType, const MCHAR* v);
    void Load(ParamType2 aType, const MSTR& v);
    void Load(ParamType2 aType, INode* v);
    void Load(ParamType2 aType, Mtl* v);
    void Load(ParamType2 aType, Texmap* v);
    void Load(ParamType2 aType, ReferenceTarget* v);
    // A null pointer of the pointer type asked for (TYPE_INODE, TYPE_MTL, ...).
    void Load(ParamType2 aType, std::nullptr_t);
    // Tables are copied; with a _BR type and a pointer the caller's node table is referred to.
    void Load(ParamType2 aType, const Tab<int>& v);
    void Load(ParamType2 aType, const Tab<float>& v);
    void Load(ParamType2 aType, const Tab<INode*>& v);
    void Load(ParamType2 aType, Tab<INode*>* v);
    void Load(ParamType2 aType, const Tab<MSTR*>& v);
    // The SDK's name for loading a function's result; the same as Load.
    template <class V>
    void LoadPtr(int aType, V&& v) {
        Load(static_cast<ParamType2>(aType), static_cast<V&&>(v));
    }

    // Stand-in extensions for hosts and tests: the value as a number when it is one.
    bool IsNumber() const;
    double AsDouble() const;

private:
    void CopyFrom(const FPValue& from);
    bool owned_ = false;  // the pointer member belongs to this value
};

class FPParamOptions {
public:
    FPValue range_low;
    FPValue range_high;
    FPValidator* validator = nullptr;
    FPValue keyarg_default;
};

class FPParamDef {
public:
    FPParamDef() = default;
    FPParamDef(const FPParamDef&) = delete;
    FPParamDef& operator=(const FPParamDef&) = delete;
    ~FPParamDef() { delete options; }

    MSTR internal_name;
    StringResID description = 0;
    ParamType2 type = TYPE_VOID;
    EnumID enumID = FP_NO_ENUM;
    USHORT flags = FPP_IN_OUT_PARAM;
    FPParamOptions* options = nullptr;  // present when a tag gave a range, default or validator
};

class FPFunctionDef {
public:
    FPFunctionDef() = default;
    FPFunctionDef(const FPFunctionDef&) = delete;
    FPFunctionDef& operator=(const FPFunctionDef&) = delete;
    ~FPFunctionDef();

    FunctionID ID = FP_NO_FUNCTION;
    MSTR internal_name;
    StringResID description = 0;
    USHORT flags = 0;
    ParamType2 result_type = TYPE_VOID;
    EnumID enumID = FP_NO_ENUM;
    Tab<FPParamDef*> params;
    short keyparam_count = 0;
};

// The actual arguments of one call, by position.
class FPParams {
public:
    FPParams() = default;
    FPParams(std::initializer_list<FPValue> values) {
        for (const FPValue& v : values) params.append(v);
    }
    MaxSDK::Array<FPValue> params;
};

// Stand-in extension: one named argument of InvokeByName.
struct FPNamedArg {
    MSTR name;
    FPValue value;
};

class FPInterface : public BaseInterface {
public:
    // The descriptor of this interface (null for an interface that publishes no metadata).
    virtual FPInterfaceDesc* GetDesc() = 0;

    BaseInterface* GetInterface(Interface_ID id) override;
    // The ID in the descriptor; NULLINTERFACE_ID without one.
    Interface_ID GetID() override;

    // Calls function fid; a null params is an empty argument list. Exceptions raised by the
    // function (an argument index out of range, for one) reach the caller.
    virtual FPStatus Invoke(FunctionID fid, TimeValue t = 0, FPParams* params = nullptr);
    virtual FPStatus Invoke(FunctionID fid, FPParams* params) { return Invoke(fid, 0, params); }
    virtual FPStatus Invoke(FunctionID fid, TimeValue t, FPValue& result,
                            FPParams* params = nullptr);
    virtual FPStatus Invoke(FunctionID fid, FPValue& result, FPParams* params = nullptr) {
        return Invoke(fid, 0, result, params);
    }
    // The ID of the function with this internal name (case-insensitive, as the scripting layer
    // matches names), or FP_NO_FUNCTION; an empty name finds nothing.
    virtual FunctionID FindFn(const MCHAR* name);

    // Stand-in extension: calls the function named fnName with arguments by name. Every
    // declared argument must be given (by its internal name, case-insensitive) unless it has a
    // keyword default; values convert between the numeric types and between the string types,
    // and a TYPE_VOID value passes as a null node, material or reference. On failure the
    // status is FPS_NO_SUCH_FUNCTION (no such name) or FPS_FAIL (bad arguments, or the
    // function raised an exception), and error, when given, receives the reason.
    FPStatus InvokeByName(const MCHAR* fnName, FPValue& result, const std::vector<FPNamedArg>& args,
                          MSTR* error = nullptr, TimeValue t = 0);

    // The action-interface predicates; a plain function interface enables every function.
    virtual BOOL IsEnabled(FunctionID /*actionID*/) { return TRUE; }
    virtual BOOL IsChecked(FunctionID /*actionID*/) { return FALSE; }
    virtual BOOL IsVisible(FunctionID /*actionID*/) { return TRUE; }

protected:
    virtual FPStatus _dispatch_fn(FunctionID /*fid*/, TimeValue /*t*/, FPValue& /*result*/,
                                  FPParams* /*p*/) {
        return FPS_NO_SUCH_FUNCTION;
    }
};

class FPInterfaceDesc : public FPInterface {
public:
    FPInterfaceDesc() = default;
    // The SDK's argument list; see the top of this file.
    FPInterfaceDesc(Interface_ID id, const MCHAR* int_name, StringResID descr, ClassDesc* cd,
                    ULONG flag, ...);
    FPInterfaceDesc(const FPInterfaceDesc&) = delete;
    FPInterfaceDesc& operator=(const FPInterfaceDesc&) = delete;
    ~FPInterfaceDesc() override;

    Interface_ID ID;
    MSTR internal_name;
    StringResID description = 0;
    ClassDesc* cd = nullptr;
    ULONG flags = 0;
    Tab<FPFunctionDef*> functions;

    // Stand-in extension: what could not be read from the argument list, one message each.
    std::vector<std::string> errors;

    FPInterfaceDesc* GetDesc() override { return this; }
    // The ID of the described interface. A class that derives from this one but describes itself
    // with another descriptor (an overridden GetDesc) reports that descriptor's ID.
    Interface_ID GetID() override;
    BaseInterface* GetInterface(Interface_ID id) override;
    LifetimeType LifetimeControl() override { return noRelease; }

    // The function with this ID, or null.
    FPFunctionDef* GetFnDef(FunctionID fid);
    // Stand-in extension: the function with this internal name (case-insensitive), or null.
    FPFunctionDef* FindFnDef(const MCHAR* name);

    void SetClassDesc(ClassDesc* i_cd) { cd = i_cd; }

protected:
    void load_descriptor(Interface_ID id, const MCHAR* int_name, StringResID descr, ClassDesc* i_cd,
                         ULONG flag, va_list ap);
};

// A static or core interface: one object, which is also its own descriptor unless the derived
// class returns another one from GetDesc.
class FPStaticInterface : public FPInterfaceDesc {};

// An interface implemented by the plug-in class itself (mixed in); its descriptor lives apart.
class FPMixinInterface : public FPInterface {
public:
    LifetimeType LifetimeControl() override { return serverControlled; }
    BaseInterface* GetInterface(Interface_ID id) override {
        return id == FPMIXININTERFACE_ID ? this : FPInterface::GetInterface(id);
    }
};

// Checks an argument of a published function; msg receives the reason for a refusal.
class FPValidator : public InterfaceServer {
public:
    virtual bool Validate(FPInterface* fpi, FunctionID fid, int paramNum, FPValue& val,
                          MSTR& msg) = 0;
};

// DECLARE_DESCRIPTOR(MyInterface) gives a static interface class the descriptor's constructors,
// so the single instance is declared with the argument list: static MyInterface fp(ID, ...).
#define DECLARE_DESCRIPTOR(_interface)                                                  \
public:                                                                                 \
    _interface() {}                                                                     \
    _interface(Interface_ID id, const MCHAR* name, StringResID descr, ClassDesc* cdesc, \
               ULONG flag, ...) {                                                       \
        va_list ap;                                                                     \
        va_start(ap, flag);                                                             \
        load_descriptor(id, name, descr, cdesc, flag, ap);                              \
        va_end(ap);                                                                     \
    }

// ----- Function-map macros ---------------------------------------------------------------------
// BEGIN_FUNCTION_MAP ... END_FUNCTION_MAP write _dispatch_fn as a switch on the function ID.
// FN_n(fid, result type, method, argument types...) calls a method with n arguments and loads
// its result; VFN_n calls a void method; the T forms (FNT_n, VFNT_n) pass the time last.

#define BEGIN_FUNCTION_MAP                                                                      \
public:                                                                                         \
    FPStatus _dispatch_fn(FunctionID fid, TimeValue t, FPValue& result, FPParams* p) override { \
        (void)t;                                                                                \
        (void)result;                                                                           \
        (void)p;                                                                                \
        FPStatus status = FPS_OK;                                                               \
        switch (fid) {
#define END_FUNCTION_MAP               \
    default:                           \
        status = FPS_NO_SUCH_FUNCTION; \
        }                              \
        return status;                 \
        }

#define FP_FIELD(_type, _v) (_type##_FIELD(_v))

#define TYPE_FLOAT_FIELD(_v) ((_v).f)
#define TYPE_ANGLE_FIELD(_v) ((_v).f)
#define TYPE_PCNT_FRAC_FIELD(_v) ((_v).f)
#define TYPE_WORLD_FIELD(_v) ((_v).f)
#define TYPE_COLOR_CHANNEL_FIELD(_v) ((_v).f)
#define TYPE_INT_FIELD(_v) ((_v).i)
#define TYPE_BOOL_FIELD(_v) ((_v).i)
#define TYPE_ENUM_FIELD(_v) ((_v).i)
#define TYPE_INDEX_FIELD(_v) ((_v).i)
#define TYPE_RADIOBTN_INDEX_FIELD(_v) ((_v).i)
#define TYPE_TIMEVALUE_FIELD(_v) ((_v).t)
#define TYPE_DWORD_FIELD(_v) ((_v).d)
#define TYPE_bool_FIELD(_v) ((_v).b)
#define TYPE_DOUBLE_FIELD(_v) ((_v).dbl)
#define TYPE_POINT3_FIELD(_v) ((_v).p)
#define TYPE_POINT3_BV_FIELD(_v) (*(_v).p)
#define TYPE_POINT3_BR_FIELD(_v) (*(_v).p)
#define TYPE_MATRIX3_FIELD(_v) ((_v).m)
#define TYPE_MATRIX3_BV_FIELD(_v) (*(_v).m)
#define TYPE_MATRIX3_BR_FIELD(_v) (*(_v).m)
#define TYPE_STRING_FIELD(_v) ((_v).s)
#define TYPE_FILENAME_FIELD(_v) ((_v).s)
#define TYPE_NAME_FIELD(_v) ((_v).s)
#define TYPE_TSTR_FIELD(_v) ((_v).tstr)
#define TYPE_TSTR_BV_FIELD(_v) (*(_v).tstr)
#define TYPE_TSTR_BR_FIELD(_v) (*(_v).tstr)
#define TYPE_INODE_FIELD(_v) ((_v).n)
#define TYPE_MTL_FIELD(_v) ((_v).mtl)
#define TYPE_TEXMAP_FIELD(_v) ((_v).tex)
#define TYPE_REFTARG_FIELD(_v) ((_v).r)
#define TYPE_INTERFACE_FIELD(_v) ((_v).fpi)
#define TYPE_INT_TAB_FIELD(_v) ((_v).i_tab)
#define TYPE_INT_TAB_BR_FIELD(_v) (*(_v).i_tab)
#define TYPE_INT_TAB_BV_FIELD(_v) (*(_v).i_tab)
#define TYPE_FLOAT_TAB_FIELD(_v) ((_v).f_tab)
#define TYPE_FLOAT_TAB_BR_FIELD(_v) (*(_v).f_tab)
#define TYPE_FLOAT_TAB_BV_FIELD(_v) (*(_v).f_tab)
#define TYPE_INODE_TAB_FIELD(_v) ((_v).n_tab)
#define TYPE_INODE_TAB_BR_FIELD(_v) (*(_v).n_tab)
#define TYPE_INODE_TAB_BV_FIELD(_v) (*(_v).n_tab)
#define TYPE_TSTR_TAB_FIELD(_v) ((_v).tstr_tab)

#define FN_0(_fid, _rtype, _f)        \
    case _fid:                        \
        result.LoadPtr(_rtype, _f()); \
        break;
#define FN_1(_fid, _rtype, _f, _p1)                              \
    case _fid:                                                   \
        result.LoadPtr(_rtype, _f(FP_FIELD(_p1, p->params[0]))); \
        break;
#define FN_2(_fid, _rtype, _f, _p1, _p2)                                                      \
    case _fid:                                                                                \
        result.LoadPtr(_rtype, _f(FP_FIELD(_p1, p->params[0]), FP_FIELD(_p2, p->params[1]))); \
        break;
#define FN_3(_fid, _rtype, _f, _p1, _p2, _p3)                                               \
    case _fid:                                                                              \
        result.LoadPtr(_rtype, _f(FP_FIELD(_p1, p->params[0]), FP_FIELD(_p2, p->params[1]), \
                                  FP_FIELD(_p3, p->params[2])));                            \
        break;
#define FN_4(_fid, _rtype, _f, _p1, _p2, _p3, _p4)                                            \
    case _fid:                                                                                \
        result.LoadPtr(_rtype, _f(FP_FIELD(_p1, p->params[0]), FP_FIELD(_p2, p->params[1]),   \
                                  FP_FIELD(_p3, p->params[2]), FP_FIELD(_p4, p->params[3]))); \
        break;
#define VFN_0(_fid, _f) \
    case _fid:          \
        _f();           \
        break;
#define VFN_1(_fid, _f, _p1)             \
    case _fid:                           \
        _f(FP_FIELD(_p1, p->params[0])); \
        break;
#define VFN_2(_fid, _f, _p1, _p2)                                     \
    case _fid:                                                        \
        _f(FP_FIELD(_p1, p->params[0]), FP_FIELD(_p2, p->params[1])); \
        break;
#define VFN_3(_fid, _f, _p1, _p2, _p3)                                                             \
    case _fid:                                                                                     \
        _f(FP_FIELD(_p1, p->params[0]), FP_FIELD(_p2, p->params[1]), FP_FIELD(_p3, p->params[2])); \
        break;
#define VFN_4(_fid, _f, _p1, _p2, _p3, _p4)                                                       \
    case _fid:                                                                                    \
        _f(FP_FIELD(_p1, p->params[0]), FP_FIELD(_p2, p->params[1]), FP_FIELD(_p3, p->params[2]), \
           FP_FIELD(_p4, p->params[3]));                                                          \
        break;
#define FNT_0(_fid, _rtype, _f)        \
    case _fid:                         \
        result.LoadPtr(_rtype, _f(t)); \
        break;
#define FNT_1(_fid, _rtype, _f, _p1)                                \
    case _fid:                                                      \
        result.LoadPtr(_rtype, _f(FP_FIELD(_p1, p->params[0]), t)); \
        break;
#define VFNT_0(_fid, _f) \
    case _fid:           \
        _f(t);           \
        break;
#define VFNT_1(_fid, _f, _p1)               \
    case _fid:                              \
        _f(FP_FIELD(_p1, p->params[0]), t); \
        break;
