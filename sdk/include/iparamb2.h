// Parameter blocks: ParamBlockDesc2 (what a block holds), IParamBlock2 (the values) and
// ClassDesc2 (a class descriptor that builds its blocks automatically).
//
// The descriptor is built from the SDK's argument list:
//
//   static ParamBlockDesc2 desc(BLOCK_ID, _M("params"), IDS_PARAMS, &myClassDesc,
//       P_AUTO_CONSTRUCT + P_AUTO_UI + P_MULTIMAP, PBLOCK_REF,      // reference number
//       2,                                                          // with P_MULTIMAP: map count
//       MAP_MAIN, IDD_MAIN, IDS_MAIN, 0, 0, nullptr,                // per map: id, template,
//       MAP_MORE, IDD_MORE, IDS_MORE, 0, APPENDROLL_CLOSED, nullptr, //   title, flag mask,
//                                                                   //   rollup flags, dlgProc
//       pb_size, _M("size"), TYPE_FLOAT, P_ANIMATABLE, IDS_SIZE,
//           p_default, 10.0f, p_range, 0.0f, 100.0f,
//           p_ui, MAP_MAIN, TYPE_SPINNER, EDITTYPE_FLOAT, IDC_SIZE, IDC_SIZE_SPIN, 0.1f,
//           p_end,
//       pb_nodes, _M("nodes"), TYPE_INODE_TAB, 0, P_VARIABLE_SIZE, IDS_NODES,
//           p_end,
//       p_end);
//
// After the flags: with P_VERSION the version number; with P_AUTO_CONSTRUCT the owner's
// reference number for the block; with P_AUTO_UI either one map (template, title, flag mask,
// rollup flags, dlgProc) or, with P_MULTIMAP, the map count and one (map ID, template, title,
// flag mask, rollup flags, dlgProc) per map. Then each parameter: ID, internal name, type, for a
// table type its initial size, flags, display-name string ID, tags, p_end. A final p_end closes
// the list.
//
// Tag arguments are read as the SDK reads them: ints as int, floats as double (pass 1.0f or
// 1.0, never a bare 1 for a float), points as Point3 by value (a colour's three floats read the
// same), strings and objects as pointers. p_default / p_ms_default and p_range take values of
// the parameter's kind (int, float, Point3, string, Matrix3). p_ui (after the map ID with
// P_MULTIMAP) takes the control type and its arguments:
//   TYPE_SPINNER      spinner type (EDITTYPE_*), edit ID, spinner ID per component and table
//                     element (three pairs for a point or colour), scale (float)
//   TYPE_SLIDER       spinner type, edit ID, slider ID (per component and element as above), then
//                     the tick count given as a float (it is stored as scale and, rounded, as
//                     numSegs)
//   TYPE_RADIO        count, then that many button IDs
//   TYPE_INT_COMBOBOX control ID (one per table element), item count, item string IDs
//   TYPE_INTLISTBOX   on an INT: list ID, item count, item string IDs; on a table: list, add,
//                     replace and delete IDs, spinner type, edit ID, spinner ID, scale
//   TYPE_FLOATLISTBOX list, add, replace, delete IDs, spinner type, edit ID, spinner ID, scale
//   TYPE_POINT3LISTBOX  the same with three edit/spinner pairs
//   TYPE_STRINGLISTBOX  list, add, replace, delete and edit IDs
//   TYPE_NODELISTBOX  list, pick, replace and delete IDs
//   the single-control kinds (check box, check button, colour swatch, edit box, pick and map,
//   material, bitmap and file buttons): one dialog item ID per table element (one when the
//   table has no fixed size).
// The other tags (p_vals, p_accessor, p_validator, p_tooltip, p_classID, p_sclassID, p_enabled,
// p_enable_ctrls, p_prompt, p_caption, p_init_file, p_file_types, p_dim, p_refno, p_subtexno,
// p_submtlno, p_uix, p_nonLocalizedName, p_assetTypeID, p_assetTypeName,
// p_defaults_and_ranges_in_meters) are read and stored. Accessors and validators are stored,
// never called.
//
// A list the descriptor cannot read (an unknown type or tag, a parameter whose tags run into the
// next parameter without p_end, a repeated parameter ID, a tag value of the wrong kind) does not
// crash it: reading stops at that point, the parameters read so far stay, and each problem is
// recorded in errors(). Two parameters may share an internal name; lookups by name find the
// first. The final p_end must be there: past the last argument nothing can be read safely.
//
// Values do not change over time here (there are no animation controllers): every Get ignores
// the time, and validity intervals are left as the caller passed them. GetStr never returns
// null: an unset string reads as "". Reading a table entry that does not exist raises
// MaxSDK::Util::OutOfRangeException (the Tab text) from Get*, SetValue; GetValue returns FALSE
// and a zero value instead, as it does for a type mismatch (an int asked of a float parameter).
//
// Every change (SetValue, the table operations, Reset) notifies the block's dependents with
// NotifyDependents(FOREVER, PART_ALL, REFMSG_CHANGE); during that call LastNotifyParamID() is the
// changed parameter's ID (and LastNotifyParamID(tabIndex) the entry, or -1 for the whole
// table); outside it is -1. While theHold is holding, each change first records the parameter's
// previous contents for undo.
//
// Node, material, map and reference-target parameters hold references: the block has one
// reference slot per such value, parameters in descriptor order, table entries in order
// (NumRefs/GetReference follow table edits). A referenced node that is deleted leaves null
// entries behind; the block then notifies REFMSG_TAB_ELEMENT_NULLED for a table parameter, or
// REFMSG_CHANGE for a single one, with LastNotifyParamID set to that parameter, once per
// parameter. Dropping an entry (Delete, SetCount, a new value) releases its reference the way
// DeleteReference does. A value the reference system refuses (one that would make a loop) is
// stored as null and the call returns FALSE.
#pragma once

#include <cstdarg>
#include <string>
#include <vector>

#include "color.h"
#include "hold.h"
#include "ifnpub.h"
#include "interval.h"
#include "matrix3.h"
#include "maxtypes.h"
#include "paramtype.h"
#include "plugapi.h"
#include "point3.h"
#include "ref.h"
#include "strclass.h"
#include "tab.h"

class ClassDesc2;
class INode;
class IObjParam;
class IParamBlock2;
class IParamMap2;
class ParamBlockDesc2;
class ParamMap2UserDlgProc;
class PBAccessor;
class PBValidator;
class ParamDimension;

using ParamID = short;
using BlockID = short;
using MapID = short;

// ParamBlockDesc2 flags.
constexpr USHORT P_CLASS_PARAMS = 0x0001;
constexpr USHORT P_AUTO_CONSTRUCT = 0x0002;
constexpr USHORT P_AUTO_UI = 0x0004;
constexpr USHORT P_USE_PARAMS = 0x0008;
constexpr USHORT P_INCLUDE_PARAMS = 0x0010;
constexpr USHORT P_SCRIPTED_CLASS = 0x0020;
constexpr USHORT P_TEMPORARY = 0x0040;
constexpr USHORT P_HASCATEGORY = 0x0080;
constexpr USHORT P_CALLSETS_ON_LOAD = 0x0100;
constexpr USHORT P_HASMAXSCRIPTPARAMS = 0x0200;
constexpr USHORT P_MULTIMAP = 0x0400;
constexpr USHORT P_VERSION = 0x0800;

// Per-parameter flags.
constexpr USHORT P_ANIMATABLE = 0x0001;
constexpr USHORT P_TRANSIENT = 0x0002;
constexpr USHORT P_NO_INIT = 0x0004;
constexpr USHORT P_COMPUTED_NAME = 0x0008;
constexpr USHORT P_INVISIBLE = 0x0010;
constexpr USHORT P_RESET_DEFAULT = 0x0020;
constexpr USHORT P_SUBANIM = 0x0040;
constexpr USHORT P_TV_SHOW_ALL = 0x0080;
constexpr USHORT P_NO_REF = 0x0100;
constexpr USHORT P_OWNERS_REF = 0x0200;
constexpr USHORT P_CAN_CONVERT = 0x0400;
constexpr USHORT P_SUBTEX = 0x0800;
constexpr USHORT P_VARIABLE_SIZE = 0x1000;
constexpr USHORT P_NO_AUTO_LABELS = 0x2000;
constexpr USHORT P_SHORT_LABELS = 0x4000;
constexpr USHORT P_READ_ONLY = 0x8000;

// Rollup flags of a map.
constexpr int APPENDROLL_CLOSED = 0x0001;
constexpr int DONTAUTOCLOSE = 0x0002;
constexpr int ROLLUP_SAVECAT = 0x0010;

// Spinner kinds of TYPE_SPINNER, TYPE_SLIDER and the list boxes.
enum EditSpinnerType {
    EDITTYPE_INT = 1,
    EDITTYPE_FLOAT,
    EDITTYPE_UNIVERSE,
    EDITTYPE_POS_INT,
    EDITTYPE_POS_FLOAT,
    EDITTYPE_POS_UNIVERSE,
    EDITTYPE_TIME,
};

constexpr float SPIN_AUTOSCALE = -1.0f;

// The automatic controls a parameter can have on a rollout, with the host's numbering.
enum ControlType2 {
    TYPE_SPINNER = 0,
    TYPE_RADIO = 1,
    TYPE_SINGLECHECKBOX = 2,
    TYPE_SINGLECHEKBOX = TYPE_SINGLECHECKBOX,
    TYPE_MULTICHECKBOX = 3,
    TYPE_MULTICHEKBOX = TYPE_MULTICHECKBOX,
    TYPE_COLORSWATCH = 4,
    TYPE_EDITBOX = 5,
    TYPE_CHECKBUTTON = 6,
    TYPE_PICKNODEBUTTON = 7,
    TYPE_TEXMAPBUTTON = 8,
    TYPE_MTLBUTTON = 9,
    TYPE_BITMAPBUTTON = 10,
    TYPE_FILEOPENBUTTON = 11,
    TYPE_FILESAVEBUTTON = 12,
    TYPE_INTLISTBOX = 13,
    TYPE_FLOATLISTBOX = 14,
    TYPE_STRINGLISTBOX = 15,
    TYPE_NODELISTBOX = 16,
    TYPE_SLIDER = 17,
    TYPE_BUTTON = 18,
    TYPE_POINT3LISTBOX = 19,
    TYPE_SHADERSUBPARAMETERBLOCK = 20,
    TYPE_POINT4LISTBOX = 21,
    TYPE_COLORSWATCH_FRGBA = 22,
    TYPE_INT_COMBOBOX = 23,
    TYPE_POINT2LISTBOX = 24,
};

// A value as the descriptor holds it (defaults and ranges): the member that matches the
// parameter's kind is meaningful (i for ints and BOOLs, f for floats, p for points and colours,
// s for strings, m for matrices).
struct PB2Value {
    int i = 0;
    float f = 0.0f;
    Point3 p{0.0f, 0.0f, 0.0f};
    MSTR s;
    Matrix3 m{1};
};

// One map (rollout) of a descriptor.
struct ParamMapSpec {
    MapID map_id = 0;
    int dlg_template = 0;
    StringResID title = 0;
    int test_flags = 0;
    int rollup_flags = 0;
    ParamMap2UserDlgProc* dlgProc = nullptr;
};

// One parameter of a descriptor.
class ParamDef {
public:
    ParamID ID = -1;
    MSTR int_name;
    ParamType2 type = TYPE_VOID;
    int tab_size = 0;  // initial entry count of a table
    USHORT flags = 0;
    StringResID local_name = 0;

    bool has_default = false;
    PB2Value def;
    bool has_ms_default = false;
    PB2Value ms_def;
    bool has_range = false;
    PB2Value range_low;
    PB2Value range_high;

    // The automatic control (p_ui): map, kind and dialog item IDs.
    bool has_ui = false;
    MapID mapID = 0;
    ControlType2 ctrl_type = TYPE_SPINNER;
    int spin_type = 0;       // EditSpinnerType of spinners, sliders and list boxes
    Tab<int> ctrl_IDs;       // dialog item IDs in the order given
    float scale = 0.0f;      // spinner scale; a slider's tick count
    int numSegs = 0;         // a slider's tick count, rounded
    Tab<StringResID> items;  // item strings of a drop-down or list
    Tab<int> vals;           // p_vals: the values of radio buttons or drop-down items
    Tab<MapID> extra_maps;   // p_uix

    // The other tags.
    PBAccessor* accessor = nullptr;
    PBValidator* validator = nullptr;
    ParamDimension* dim = nullptr;
    Class_ID class_ID = Class_ID(0, 0);
    SClass_ID sclass_ID = 0;
    BOOL enabled = TRUE;
    Tab<ParamID> enable_ctrls;
    StringResID prompt = 0;
    StringResID caption = 0;
    MSTR init_file;
    StringResID file_types = 0;
    StringResID tooltip = 0;
    int refno = -1;
    int subobj_no = -1;  // p_subtexno / p_submtlno
    MSTR nonLocalizedName;
    int assetTypeID = -1;
    MSTR assetTypeName;
    bool defaults_in_meters = false;

    ControlType2 GetControlType() const { return ctrl_type; }
};

class ParamBlockDesc2 {
public:
    // The SDK's argument list (see the top of this file). The SDK declares flags as USHORT; an
    // int here keeps va_start off a promoted parameter type.
    ParamBlockDesc2(BlockID ID, const MCHAR* int_name, StringResID local_name, ClassDesc2* cd,
                    int flags, ...);
    // An empty descriptor to be filled with AddParam.
    ParamBlockDesc2();
    ParamBlockDesc2(const ParamBlockDesc2&) = delete;
    ParamBlockDesc2& operator=(const ParamBlockDesc2&) = delete;
    virtual ~ParamBlockDesc2() = default;

    // Adds one parameter: ID, internal name, type, [table size], flags, local name, tags, p_end.
    // (The SDK declares id as ParamID; an int keeps va_start off a promoted parameter type.)
    void AddParam(int id, ...);

    BlockID ID = 0;
    MSTR int_name;
    StringResID local_name = 0;
    ClassDesc2* cd = nullptr;
    USHORT flags = 0;
    int version = 0;
    int ref_no = 0;
    Tab<ParamMapSpec> map_specs;

    int Count() const { return static_cast<int>(params_.size()); }
    // Index of a parameter by ID, or -1.
    int IDtoIndex(ParamID id) const;
    // ID of the parameter at index i, or -1.
    ParamID IndextoID(int i) const;
    // Index of the first parameter with this internal name (case-insensitive), or -1.
    int NameToIndex(const MCHAR* name) const;
    // The parameter with this ID. For an unknown ID: a blank definition with ID -1 and type
    // TYPE_VOID (its contents are not part of the descriptor).
    ParamDef& GetParamDef(ParamID id);
    ParamDef& GetParamDefByIndex(int i);
    BOOL HasParam(ParamID id) const { return IDtoIndex(id) >= 0; }
    ParamMapSpec* GetMapSpec(MapID id);

    // Shows the block's values again in every open parameter map built on this descriptor
    // (iparamm2.h: IParamMap2::Invalidate), and counts the requests.
    void InvalidateUI();
    void InvalidateUI(ParamID id, int tabIndex = -1);
    int InvalidateUICount() const { return invalidateUICount_; }

    // Stand-in extension: what could not be read from the argument list, one message each.
    const std::vector<std::string>& errors() const { return errors_; }

private:
    friend class ParamBlockDescReader;
    void Read(va_list ap);
    void Add(const ParamDef& def);

    std::vector<ParamDef> params_;
    // Per non-negative ID, its index in params_ (-1: none): every value access asks by ID.
    std::vector<int> indexOfId_;
    ParamDef invalid_;
    std::vector<std::string> errors_;
    int invalidateUICount_ = 0;
};

// The values of one parameter block. The host's implementation lies behind this interface;
// CreateParameterBlock2 makes one.
class IParamBlock2 : public ReferenceTarget {
public:
    SClass_ID SuperClassID() override { return PARAMETER_BLOCK2_CLASS_ID; }

    virtual ParamBlockDesc2* GetDesc() = 0;
    virtual BlockID ID() = 0;
    virtual MSTR GetLocalName() = 0;
    virtual int NumParams() = 0;
    virtual int IDtoIndex(ParamID id) = 0;
    virtual ParamID IndextoID(int i) = 0;
    virtual ParamType2 GetParameterType(ParamID id) = 0;
    virtual ParamDef& GetParamDef(ParamID id) = 0;
    virtual ReferenceMaker* GetOwner() = 0;
    virtual void SetOwner(ReferenceMaker* owner) = 0;

    // The parameter whose change is being notified, or -1 outside a notification.
    virtual ParamID LastNotifyParamID() = 0;
    virtual ParamID LastNotifyParamID(int& tabIndex) = 0;
    // With notifications off, changes are made silently (bulk loading); turning them back on
    // sends nothing by itself.
    virtual void EnableNotifications(BOOL onOff) = 0;

    // Reading: FALSE and a zero value (0, 0.0, the origin, null, "", the identity) for an
    // unknown ID, a type mismatch or a table index out of range.
    virtual BOOL GetValue(ParamID id, TimeValue t, int& v, Interval& ivalid, int tabIndex = 0) = 0;
    virtual BOOL GetValue(ParamID id, TimeValue t, float& v, Interval& ivalid,
                          int tabIndex = 0) = 0;
    virtual BOOL GetValue(ParamID id, TimeValue t, Point3& v, Interval& ivalid,
                          int tabIndex = 0) = 0;
    virtual BOOL GetValue(ParamID id, TimeValue t, Matrix3& v, Interval& ivalid,
                          int tabIndex = 0) = 0;
    virtual BOOL GetValue(ParamID id, TimeValue t, const MCHAR*& v, Interval& ivalid,
                          int tabIndex = 0) = 0;
    virtual BOOL GetValue(ParamID id, TimeValue t, INode*& v, Interval& ivalid,
                          int tabIndex = 0) = 0;
    virtual BOOL GetValue(ParamID id, TimeValue t, ReferenceTarget*& v, Interval& ivalid,
                          int tabIndex = 0) = 0;

    // Reading a value: 0 / null / "" for an unknown ID or a type mismatch; a table index out
    // of range raises MaxSDK::Util::OutOfRangeException.
    virtual int GetInt(ParamID id, TimeValue t = 0, int tabIndex = 0) = 0;
    virtual float GetFloat(ParamID id, TimeValue t = 0, int tabIndex = 0) = 0;
    virtual TimeValue GetTimeValue(ParamID id, TimeValue t = 0, int tabIndex = 0) = 0;
    virtual Point3 GetPoint3(ParamID id, TimeValue t = 0, int tabIndex = 0) = 0;
    virtual Matrix3 GetMatrix3(ParamID id, TimeValue t = 0, int tabIndex = 0) = 0;
    virtual const MCHAR* GetStr(ParamID id, TimeValue t = 0, int tabIndex = 0) = 0;
    virtual INode* GetINode(ParamID id, TimeValue t = 0, int tabIndex = 0) = 0;
    virtual ReferenceTarget* GetReferenceTarget(ParamID id, TimeValue t = 0, int tabIndex = 0) = 0;
    virtual IParamBlock2* GetParamBlock2(ParamID id, TimeValue t = 0, int tabIndex = 0) = 0;

    // Writing: FALSE for an unknown ID or a type mismatch (nothing changes); a table index out
    // of range raises MaxSDK::Util::OutOfRangeException.
    virtual BOOL SetValue(ParamID id, TimeValue t, int v, int tabIndex = 0) = 0;
    virtual BOOL SetValue(ParamID id, TimeValue t, float v, int tabIndex = 0) = 0;
    virtual BOOL SetValue(ParamID id, TimeValue t, const Point3& v, int tabIndex = 0) = 0;
    virtual BOOL SetValue(ParamID id, TimeValue t, const Matrix3& v, int tabIndex = 0) = 0;
    virtual BOOL SetValue(ParamID id, TimeValue t, const MCHAR* v, int tabIndex = 0) = 0;
    virtual BOOL SetValue(ParamID id, TimeValue t, INode* v, int tabIndex = 0) = 0;
    virtual BOOL SetValue(ParamID id, TimeValue t, ReferenceTarget* v, int tabIndex = 0) = 0;

    // Tables. Count is 0 for a non-table or unknown ID. Append returns the count before,
    // Insert its position (-1 when at is outside 0..Count), Delete the count left, SetCount
    // and Resize nothing; each returns -1 / does nothing for an unknown ID or a parameter that
    // is not a table of that element type. A null el appends or inserts default entries; new
    // entries made by SetCount hold the default too.
    virtual int Count(ParamID id) = 0;
    virtual void ZeroCount(ParamID id) = 0;
    virtual void SetCount(ParamID id, int n) = 0;
    virtual int Delete(ParamID id, int start, int num) = 0;
    virtual int Resize(ParamID id, int num) = 0;
    virtual void Shrink(ParamID id) = 0;
    virtual int Append(ParamID id, int num, int* el, int allocExtra = 0) = 0;
    virtual int Append(ParamID id, int num, float* el, int allocExtra = 0) = 0;
    virtual int Append(ParamID id, int num, Point3** el, int allocExtra = 0) = 0;
    virtual int Append(ParamID id, int num, Matrix3** el, int allocExtra = 0) = 0;
    virtual int Append(ParamID id, int num, const MCHAR** el, int allocExtra = 0) = 0;
    virtual int Append(ParamID id, int num, INode** el, int allocExtra = 0) = 0;
    virtual int Append(ParamID id, int num, ReferenceTarget** el, int allocExtra = 0) = 0;
    virtual int Insert(ParamID id, int start, int num, int* el) = 0;
    virtual int Insert(ParamID id, int start, int num, float* el) = 0;
    virtual int Insert(ParamID id, int start, int num, Point3** el) = 0;
    virtual int Insert(ParamID id, int start, int num, Matrix3** el) = 0;
    virtual int Insert(ParamID id, int start, int num, const MCHAR** el) = 0;
    virtual int Insert(ParamID id, int start, int num, INode** el) = 0;
    virtual int Insert(ParamID id, int start, int num, ReferenceTarget** el) = 0;

    // Colours (TYPE_RGBA and TYPE_FRGBA parameters) are kept as points, red in x.
    Color GetColor(ParamID id, TimeValue t = 0, int tabIndex = 0) {
        const Point3 p = GetPoint3(id, t, tabIndex);
        return Color(p.x, p.y, p.z);
    }
    BOOL SetValue(ParamID id, TimeValue t, const Color& c, int tabIndex = 0) {
        return SetValue(id, t, Point3(c.r, c.g, c.b), tabIndex);
    }

    // Back to the descriptor's default (for a table: the initial size, all defaults).
    virtual void Reset(ParamID id, int tabIndex = -1, BOOL updateUI = TRUE,
                       BOOL callSetHandlers = TRUE) = 0;
    virtual void ResetAll(BOOL updateUI = TRUE, BOOL callSetHandlers = TRUE) = 0;

    // The rollouts are not built here; this counts the requests.
    virtual void InvalidateUI(ParamID id = -1, int tabIndex = -1) = 0;
};

// Makes a block for desc (values at their defaults) owned by owner. The caller puts it into the
// owner's reference; ClassDesc2::MakeAutoParamBlocks does both.
IParamBlock2* CreateParameterBlock2(ParamBlockDesc2* desc, ReferenceMaker* owner);

class ClassDesc2 : public ClassDesc {
public:
    ~ClassDesc2() override = default;

    int NumParamBlockDescs() override { return pbDescs_.Count(); }
    ParamBlockDesc2* GetParamBlockDesc(int i) override;
    ParamBlockDesc2* GetParamBlockDescByID(BlockID id) override;
    void AddParamBlockDesc(ParamBlockDesc2* pbd) override;
    virtual void ClearParamBlockDescs() { pbDescs_.ZeroCount(); }

    // Makes every P_AUTO_CONSTRUCT block of this class and puts it into the owner's reference
    // the descriptor names (ReplaceReference). A block the owner refuses is deleted again.
    virtual void MakeAutoParamBlocks(ReferenceMaker* owner);

    // The command panel's calls around editing an object. There are no rollouts here; the calls
    // are counted and the object being edited is remembered.
    virtual void BeginEditParams(IObjParam* ip, ReferenceMaker* obj, ULONG flags, Animatable* prev);
    virtual void EndEditParams(IObjParam* ip, ReferenceMaker* obj, ULONG flags, Animatable* next);
    virtual void InvalidateUI() { ++invalidateUICount_; }
    virtual void InvalidateUI(ParamBlockDesc2* pbd);
    virtual void InvalidateUI(ParamBlockDesc2* pbd, ParamID id, int tabIndex = -1);

    // Stand-in extensions: the records of the calls above.
    int BeginEditCount() const { return beginEditCount_; }
    int EndEditCount() const { return endEditCount_; }
    int InvalidateUICount() const { return invalidateUICount_; }
    ReferenceMaker* EditedObject() const { return edited_; }

private:
    Tab<ParamBlockDesc2*> pbDescs_;
    int beginEditCount_ = 0;
    int endEditCount_ = 0;
    int invalidateUICount_ = 0;
    ReferenceMaker* edited_ = nullptr;
};
