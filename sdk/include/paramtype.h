// Parameter and argument type codes (ParamType2), with the host's numbering.
//
// The same codes describe what a parameter block stores and what a published function takes and
// returns. A table of a base type is the base code plus TYPE_TAB; the function-publishing
// by-reference (_BR) and by-value (_BV) forms add TYPE_BY_REF / TYPE_BY_VAL. Codes from TYPE_ENUM
// on are argument and result types only; a parameter block does not store them.
#pragma once

// Integer names the parameter and publishing headers use beside those of maxtypes.h.
using USHORT = unsigned short;
using SHORT = short;

constexpr int TYPE_TAB = 0x0800;
constexpr int TYPE_BY_REF = 0x1000;
constexpr int TYPE_BY_VAL = 0x2000;
constexpr int TYPE_BY_PTR = 0x4000;

enum ParamType2 : int {
    // Base types.
    TYPE_FLOAT = 0,
    TYPE_INT = 1,
    TYPE_RGBA = 2,
    TYPE_POINT3 = 3,
    TYPE_BOOL = 4,
    TYPE_ANGLE = 5,
    TYPE_PCNT_FRAC = 6,
    TYPE_WORLD = 7,
    TYPE_STRING = 8,
    TYPE_FILENAME = 9,
    TYPE_HSV = 10,
    TYPE_COLOR_CHANNEL = 11,
    TYPE_TIMEVALUE = 12,
    TYPE_RADIOBTN_INDEX = 13,
    TYPE_MTL = 14,
    TYPE_TEXMAP = 15,
    TYPE_BITMAP = 16,
    TYPE_INODE = 17,
    TYPE_REFTARG = 18,
    TYPE_INDEX = 19,
    TYPE_MATRIX3 = 20,
    TYPE_PBLOCK2 = 21,
    TYPE_POINT4 = 22,
    TYPE_FRGBA = 23,
    // 24..29 are reserved.
    TYPE_POINT2 = 30,
    // 31..44 are reserved.

    // Argument and result types of published functions only.
    TYPE_ENUM = 45,
    TYPE_VOID,
    TYPE_INTERVAL,
    TYPE_ANGAXIS,
    TYPE_QUAT,
    TYPE_RAY,
    TYPE_BITARRAY,
    TYPE_CLASS,
    TYPE_MESH,
    TYPE_OBJECT,
    TYPE_CONTROL,
    TYPE_POINT,
    TYPE_TSTR,
    TYPE_IOBJECT,
    TYPE_INTERFACE,
    TYPE_HWND,
    TYPE_NAME,
    TYPE_COLOR,
    TYPE_FPVALUE,
    TYPE_VALUE,
    TYPE_DWORD,
    TYPE_bool,
    TYPE_INTPTR,
    TYPE_INT64,
    TYPE_DOUBLE,

    // Tables.
    TYPE_FLOAT_TAB = TYPE_FLOAT + TYPE_TAB,
    TYPE_INT_TAB = TYPE_INT + TYPE_TAB,
    TYPE_RGBA_TAB = TYPE_RGBA + TYPE_TAB,
    TYPE_POINT3_TAB = TYPE_POINT3 + TYPE_TAB,
    TYPE_BOOL_TAB = TYPE_BOOL + TYPE_TAB,
    TYPE_ANGLE_TAB = TYPE_ANGLE + TYPE_TAB,
    TYPE_PCNT_FRAC_TAB = TYPE_PCNT_FRAC + TYPE_TAB,
    TYPE_WORLD_TAB = TYPE_WORLD + TYPE_TAB,
    TYPE_STRING_TAB = TYPE_STRING + TYPE_TAB,
    TYPE_FILENAME_TAB = TYPE_FILENAME + TYPE_TAB,
    TYPE_HSV_TAB = TYPE_HSV + TYPE_TAB,
    TYPE_COLOR_CHANNEL_TAB = TYPE_COLOR_CHANNEL + TYPE_TAB,
    TYPE_TIMEVALUE_TAB = TYPE_TIMEVALUE + TYPE_TAB,
    TYPE_RADIOBTN_INDEX_TAB = TYPE_RADIOBTN_INDEX + TYPE_TAB,
    TYPE_MTL_TAB = TYPE_MTL + TYPE_TAB,
    TYPE_TEXMAP_TAB = TYPE_TEXMAP + TYPE_TAB,
    TYPE_BITMAP_TAB = TYPE_BITMAP + TYPE_TAB,
    TYPE_INODE_TAB = TYPE_INODE + TYPE_TAB,
    TYPE_REFTARG_TAB = TYPE_REFTARG + TYPE_TAB,
    TYPE_INDEX_TAB = TYPE_INDEX + TYPE_TAB,
    TYPE_MATRIX3_TAB = TYPE_MATRIX3 + TYPE_TAB,
    TYPE_PBLOCK2_TAB = TYPE_PBLOCK2 + TYPE_TAB,
    TYPE_POINT4_TAB = TYPE_POINT4 + TYPE_TAB,
    TYPE_FRGBA_TAB = TYPE_FRGBA + TYPE_TAB,
    TYPE_POINT2_TAB = TYPE_POINT2 + TYPE_TAB,
    TYPE_ENUM_TAB = TYPE_ENUM + TYPE_TAB,
    TYPE_INTERVAL_TAB = TYPE_INTERVAL + TYPE_TAB,
    TYPE_TSTR_TAB = TYPE_TSTR + TYPE_TAB,
    TYPE_INTERFACE_TAB = TYPE_INTERFACE + TYPE_TAB,
    TYPE_NAME_TAB = TYPE_NAME + TYPE_TAB,
    TYPE_FPVALUE_TAB = TYPE_FPVALUE + TYPE_TAB,
    TYPE_DWORD_TAB = TYPE_DWORD + TYPE_TAB,
    TYPE_bool_TAB = TYPE_bool + TYPE_TAB,
    TYPE_DOUBLE_TAB = TYPE_DOUBLE + TYPE_TAB,

    // By reference (published functions): the argument is the caller's variable.
    TYPE_FLOAT_BR = TYPE_FLOAT + TYPE_BY_REF,
    TYPE_INT_BR = TYPE_INT + TYPE_BY_REF,
    TYPE_BOOL_BR = TYPE_BOOL + TYPE_BY_REF,
    TYPE_POINT3_BR = TYPE_POINT3 + TYPE_BY_REF,
    TYPE_MATRIX3_BR = TYPE_MATRIX3 + TYPE_BY_REF,
    TYPE_TSTR_BR = TYPE_TSTR + TYPE_BY_REF,
    TYPE_FLOAT_TAB_BR = TYPE_FLOAT + TYPE_TAB + TYPE_BY_REF,
    TYPE_INT_TAB_BR = TYPE_INT + TYPE_TAB + TYPE_BY_REF,
    TYPE_INODE_TAB_BR = TYPE_INODE + TYPE_TAB + TYPE_BY_REF,

    // By value (published functions): the FPValue holds its own copy.
    TYPE_POINT3_BV = TYPE_POINT3 + TYPE_BY_VAL,
    TYPE_MATRIX3_BV = TYPE_MATRIX3 + TYPE_BY_VAL,
    TYPE_TSTR_BV = TYPE_TSTR + TYPE_BY_VAL,
    TYPE_FLOAT_TAB_BV = TYPE_FLOAT + TYPE_TAB + TYPE_BY_VAL,
    TYPE_INT_TAB_BV = TYPE_INT + TYPE_TAB + TYPE_BY_VAL,
    TYPE_INODE_TAB_BV = TYPE_INODE + TYPE_TAB + TYPE_BY_VAL,

    // Script-engine markers.
    TYPE_KEYARG_MARKER = 253,
    TYPE_MSFLOAT = 254,
    TYPE_UNSPECIFIED = 255,
};

// The code without its table and passing flags: TYPE_INODE for TYPE_INODE_TAB_BR.
constexpr ParamType2 base_type(int t) {
    return static_cast<ParamType2>(t & ~(TYPE_TAB | TYPE_BY_REF | TYPE_BY_VAL | TYPE_BY_PTR));
}
// The code without the passing flags: TYPE_INODE_TAB for TYPE_INODE_TAB_BR.
constexpr ParamType2 root_type(int t) {
    return static_cast<ParamType2>(t & ~(TYPE_BY_REF | TYPE_BY_VAL | TYPE_BY_PTR));
}
constexpr bool is_tab(int t) { return (t & TYPE_TAB) != 0; }
constexpr bool is_by_ref(int t) { return (t & TYPE_BY_REF) != 0; }
constexpr bool is_by_val(int t) { return (t & TYPE_BY_VAL) != 0; }

// How a parameter block stores a value of each base type: as an int, a float, a Point3, a string,
// a Matrix3 or a reference to a ReferenceTarget; None: not storable in a parameter block.
enum class PBStorage { None, Int, Float, Point3, String, Matrix3, Reference };

constexpr PBStorage pb_storage(int t) {
    switch (base_type(t)) {
        case TYPE_INT:
        case TYPE_BOOL:
        case TYPE_TIMEVALUE:
        case TYPE_RADIOBTN_INDEX:
        case TYPE_INDEX:
            return PBStorage::Int;
        case TYPE_FLOAT:
        case TYPE_ANGLE:
        case TYPE_PCNT_FRAC:
        case TYPE_WORLD:
        case TYPE_COLOR_CHANNEL:
            return PBStorage::Float;
        case TYPE_POINT3:
        case TYPE_RGBA:
        case TYPE_HSV:
            return PBStorage::Point3;
        case TYPE_STRING:
        case TYPE_FILENAME:
            return PBStorage::String;
        case TYPE_MATRIX3:
            return PBStorage::Matrix3;
        case TYPE_MTL:
        case TYPE_TEXMAP:
        case TYPE_INODE:
        case TYPE_REFTARG:
        case TYPE_PBLOCK2:
            return PBStorage::Reference;
        default:
            return PBStorage::None;
    }
}

// Stand-in extension for the host's scene files and messages: the SDK's spelling of the type,
// L"INT_TAB" for TYPE_INT_TAB; L"" for codes a parameter block does not store.
const wchar_t* ParamTypeName(int t);
// The inverse of ParamTypeName for the stored types; -1 for an unknown name.
int ParamTypeFromName(const wchar_t* name);

// Tags of the parameter block descriptor's argument list; p_end also closes the function list of
// a published interface's descriptor. The values lie far below any parameter or function ID, so
// a reader tells a tag from the next ID.
enum ParamTags : int {
    p_default = -(1 << 30),
    p_ms_default,
    p_range,
    p_ui,
    p_validator,
    p_accessor,
    p_vals,
    p_refno,
    p_subtexno,
    p_submtlno,
    p_dim,
    p_classID,
    p_sclassID,
    p_enabled,
    p_enable_ctrls,
    p_prompt,
    p_caption,
    p_init_file,
    p_file_types,
    p_ctrl_ids,
    p_uix,
    p_configurable_default,
    p_tooltip,
    p_assetTypeID,
    p_assetTypeName,
    p_defaults_and_ranges_in_meters,
    p_nonLocalizedName,
    p_end = p_default + 1024,
};
