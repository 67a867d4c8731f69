// ParamBlockDesc2: reading the descriptor's argument list, and ClassDesc2's block registry.
#include <cmath>
#include <cwctype>
#include <string>

#include "iparamb2.h"
#include "varargs_reader.h"

namespace {

std::string Narrow(const MCHAR* s) { return ToUTF8(std::wstring(s ? s : L"")); }

bool SameNameNoCase(const MCHAR* a, const MCHAR* b) {
    for (; *a && *b; ++a, ++b) {
        if (std::towlower(static_cast<wint_t>(*a)) != std::towlower(static_cast<wint_t>(*b)))
            return false;
    }
    return *a == *b;
}

bool IsParamTag(int v) { return v >= p_default && v <= p_end; }

// A parameter type a block can hold: a storable base type, plain or as a table.
bool IsStorableType(int t) {
    if ((t & ~(0x07FF | TYPE_TAB)) != 0) return false;
    return pb_storage(t) != PBStorage::None;
}

// Upper bounds that catch a misplaced argument before it turns into a huge allocation.
constexpr int kMaxMaps = 64;
constexpr int kMaxControls = 256;
constexpr int kMaxTableSize = 1 << 20;

}  // namespace

// Reads one descriptor's argument list; stops at the first thing it cannot read and says why.
class ParamBlockDescReader {
public:
    ParamBlockDescReader(ParamBlockDesc2& desc, VarArgReader& args) : desc_(desc), args_(args) {}

    // The block header (version, reference number, maps) then the parameters up to the final
    // p_end.
    void ReadAll() {
        if (!ReadHeader()) return;
        for (;;) {
            const int token = args_.Int();
            if (token == p_end) return;
            if (!ReadParam(token)) return;
        }
    }

    // One parameter, its ID already read.
    bool ReadParam(int token) {
        if (IsParamTag(token)) {
            return Fail("expected a parameter ID or p_end, found tag " +
                        std::to_string(token - p_default));
        }
        if (token < 0 || token > 0x7FFF) {
            return Fail("expected a parameter ID or p_end, found " + std::to_string(token));
        }
        ParamDef pd;
        pd.ID = static_cast<ParamID>(token);
        pd.int_name = MSTR(static_cast<const MCHAR*>(args_.Ptr()));
        where_ = "parameter " + std::to_string(pd.ID) + " '" + Narrow(pd.int_name) + "': ";
        const int type = args_.Int();
        if (!IsStorableType(type))
            return Fail("type " + std::to_string(type) + " is not supported");
        pd.type = static_cast<ParamType2>(type);
        if (is_tab(type)) {
            pd.tab_size = args_.Int();
            if (pd.tab_size < 0 || pd.tab_size > kMaxTableSize) {
                return Fail("table size " + std::to_string(pd.tab_size) + " is out of range");
            }
        }
        pd.flags = static_cast<USHORT>(args_.Int());
        pd.local_name = args_.Int();
        SetZeroValues(pd);

        for (;;) {
            const int tag = args_.Int();
            if (tag == p_end) break;
            if (!ReadTag(pd, tag)) return false;
        }

        if (desc_.IDtoIndex(pd.ID) >= 0) {
            // The list itself was read correctly; the second definition is left out.
            Note("the ID is defined twice; the second is ignored");
        } else {
            desc_.Add(pd);
        }
        where_.clear();
        return true;
    }

private:
    bool Fail(const std::string& why) {
        const std::string block =
            "block " + std::to_string(desc_.ID) + " '" + Narrow(desc_.int_name) + "': ";
        desc_.errors_.push_back(block + where_ + why);
        return false;
    }
    // A problem that does not disturb reading: recorded, and reading goes on.
    void Note(const std::string& why) {
        const std::string block =
            "block " + std::to_string(desc_.ID) + " '" + Narrow(desc_.int_name) + "': ";
        desc_.errors_.push_back(block + where_ + why);
    }

    bool ReadHeader() {
        if ((desc_.flags & (P_USE_PARAMS | P_INCLUDE_PARAMS)) != 0) {
            return Fail("P_USE_PARAMS and P_INCLUDE_PARAMS are not supported");
        }
        if ((desc_.flags & P_VERSION) != 0) desc_.version = args_.Int();
        if ((desc_.flags & P_AUTO_CONSTRUCT) != 0) desc_.ref_no = args_.Int();
        if ((desc_.flags & P_AUTO_UI) != 0) {
            int maps = 1;
            const bool multi = (desc_.flags & P_MULTIMAP) != 0;
            if (multi) {
                maps = args_.Int();
                if (maps < 0 || maps > kMaxMaps) {
                    return Fail("map count " + std::to_string(maps) + " is out of range");
                }
            }
            for (int k = 0; k < maps; ++k) {
                ParamMapSpec mapSpec;
                mapSpec.map_id = multi ? static_cast<MapID>(args_.Int()) : 0;
                mapSpec.dlg_template = args_.Int();
                mapSpec.title = args_.Int();
                mapSpec.test_flags = args_.Int();
                mapSpec.rollup_flags = args_.Int();
                mapSpec.dlgProc = static_cast<ParamMap2UserDlgProc*>(args_.Ptr());
                desc_.map_specs.Append(1, &mapSpec);
            }
        }
        return true;
    }

    static void SetZeroValues(ParamDef& pd) {
        // Strings start empty and matrices at the identity (PB2Value's own defaults).
        pd.def = PB2Value();
        pd.ms_def = PB2Value();
        pd.range_low = PB2Value();
        pd.range_high = PB2Value();
    }

    // A value of the parameter's kind; false when the kind takes no such value.
    bool ReadValue(const ParamDef& pd, PB2Value& v) {
        switch (pb_storage(pd.type)) {
            case PBStorage::Int:
                v.i = args_.Int();
                return true;
            case PBStorage::Float:
                v.f = args_.Float();
                return true;
            case PBStorage::Point3:
                v.p = args_.Value<Point3>();
                return true;
            case PBStorage::String:
                v.s = MSTR(static_cast<const MCHAR*>(args_.Ptr()));
                return true;
            case PBStorage::Matrix3:
                v.m = args_.Value<Matrix3>();
                return true;
            default:
                return false;
        }
    }

    bool ReadIDs(Tab<int>& ids, int n) {
        if (n < 0 || n > kMaxControls) {
            return Fail("control count " + std::to_string(n) + " is out of range");
        }
        for (int k = 0; k < n; ++k) {
            const int id = args_.Int();
            ids.Append(1, &id);
        }
        return true;
    }

    bool ReadItems(ParamDef& pd) {
        const int n = args_.Int();
        if (n < 0 || n > kMaxControls) {
            return Fail("item count " + std::to_string(n) + " is out of range");
        }
        for (int k = 0; k < n; ++k) {
            const StringResID s = args_.Int();
            pd.items.Append(1, &s);
        }
        return true;
    }

    // Spinner type, n dialog item IDs, scale.
    bool ReadSpinnerSet(ParamDef& pd, int n) {
        pd.spin_type = args_.Int();
        if (!ReadIDs(pd.ctrl_IDs, n)) return false;
        pd.scale = args_.Float();
        return true;
    }

    bool ReadUI(ParamDef& pd) {
        pd.has_ui = true;
        if ((desc_.flags & P_MULTIMAP) != 0) pd.mapID = static_cast<MapID>(args_.Int());
        const int ctrl = args_.Int();
        pd.ctrl_type = static_cast<ControlType2>(ctrl);
        const PBStorage kind = pb_storage(pd.type);
        // One set of controls per table entry (a variable-size table shows one set).
        const int elements = is_tab(pd.type) ? (pd.tab_size > 0 ? pd.tab_size : 1) : 1;
        const int components = kind == PBStorage::Point3 ? 3 : 1;
        switch (ctrl) {
            case TYPE_SPINNER:
            case TYPE_SLIDER:
                if (!ReadSpinnerSet(pd, 2 * components * elements)) return false;
                if (ctrl == TYPE_SLIDER) pd.numSegs = static_cast<int>(std::lround(pd.scale));
                if (kind != PBStorage::Int && kind != PBStorage::Float &&
                    kind != PBStorage::Point3) {
                    Note("a spinner or slider needs a number or point parameter");
                }
                return true;
            case TYPE_RADIO:
                if (!ReadIDs(pd.ctrl_IDs, args_.Int())) return false;
                if (kind != PBStorage::Int) Note("radio buttons need an integer parameter");
                return true;
            case TYPE_INT_COMBOBOX:
                if (!ReadIDs(pd.ctrl_IDs, elements) || !ReadItems(pd)) return false;
                if (kind != PBStorage::Int) Note("a drop-down list needs an integer parameter");
                return true;
            case TYPE_INTLISTBOX:
                if (!is_tab(pd.type) && kind == PBStorage::Int) {
                    return ReadIDs(pd.ctrl_IDs, 1) && ReadItems(pd);
                }
                return ReadIDs(pd.ctrl_IDs, 4) && ReadSpinnerSet(pd, 2);
            case TYPE_FLOATLISTBOX:
                return ReadIDs(pd.ctrl_IDs, 4) && ReadSpinnerSet(pd, 2);
            case TYPE_POINT2LISTBOX:
                return ReadIDs(pd.ctrl_IDs, 4) && ReadSpinnerSet(pd, 4);
            case TYPE_POINT3LISTBOX:
                return ReadIDs(pd.ctrl_IDs, 4) && ReadSpinnerSet(pd, 6);
            case TYPE_POINT4LISTBOX:
                return ReadIDs(pd.ctrl_IDs, 4) && ReadSpinnerSet(pd, 8);
            case TYPE_STRINGLISTBOX:
                return ReadIDs(pd.ctrl_IDs, 5);
            case TYPE_NODELISTBOX:
                if (base_type(pd.type) != TYPE_INODE) Note("a node list needs a node table");
                return ReadIDs(pd.ctrl_IDs, 4);
            case TYPE_SINGLECHECKBOX:
            case TYPE_CHECKBUTTON:
                if (kind != PBStorage::Int) Note("a check box needs an integer or BOOL parameter");
                return ReadIDs(pd.ctrl_IDs, elements);
            case TYPE_PICKNODEBUTTON:
                if (base_type(pd.type) != TYPE_INODE) Note("a node picker needs a node parameter");
                return ReadIDs(pd.ctrl_IDs, elements);
            case TYPE_MULTICHECKBOX:
            case TYPE_COLORSWATCH:
            case TYPE_EDITBOX:
            case TYPE_TEXMAPBUTTON:
            case TYPE_MTLBUTTON:
            case TYPE_BITMAPBUTTON:
            case TYPE_FILEOPENBUTTON:
            case TYPE_FILESAVEBUTTON:
            case TYPE_BUTTON:
            case TYPE_COLORSWATCH_FRGBA:
                return ReadIDs(pd.ctrl_IDs, elements);
            default:
                return Fail("control type " + std::to_string(ctrl) + " is not supported");
        }
    }

    bool ReadTag(ParamDef& pd, int tag) {
        switch (tag) {
            case p_default:
                if (!ReadValue(pd, pd.def)) return Fail("this type takes no p_default");
                pd.has_default = true;
                return true;
            case p_ms_default:
                if (!ReadValue(pd, pd.ms_def)) return Fail("this type takes no p_ms_default");
                pd.has_ms_default = true;
                return true;
            case p_range: {
                const PBStorage kind = pb_storage(pd.type);
                if (kind == PBStorage::Int) {
                    pd.range_low.i = args_.Int();
                    pd.range_high.i = args_.Int();
                } else if (kind == PBStorage::Float || kind == PBStorage::Point3) {
                    // A point's range is one float pair that bounds each component.
                    pd.range_low.f = args_.Float();
                    pd.range_high.f = args_.Float();
                    pd.range_low.p = Point3(pd.range_low.f, pd.range_low.f, pd.range_low.f);
                    pd.range_high.p = Point3(pd.range_high.f, pd.range_high.f, pd.range_high.f);
                } else {
                    return Fail("this type takes no p_range");
                }
                pd.has_range = true;
                return true;
            }
            case p_ui:
                return ReadUI(pd);
            case p_vals: {
                // One value per radio button or drop-down item of the p_ui before it.
                int n = -1;
                if (pd.has_ui && pd.ctrl_type == TYPE_RADIO) n = pd.ctrl_IDs.Count();
                if (pd.has_ui && pd.ctrl_type == TYPE_INT_COMBOBOX) n = pd.items.Count();
                if (n < 0) return Fail("p_vals must follow a radio or drop-down p_ui");
                return ReadIDs(pd.vals, n);
            }
            case p_accessor:
                pd.accessor = static_cast<PBAccessor*>(args_.Ptr());
                return true;
            case p_validator:
                pd.validator = static_cast<PBValidator*>(args_.Ptr());
                return true;
            case p_dim:
                pd.dim = static_cast<ParamDimension*>(args_.Ptr());
                return true;
            case p_classID:
                pd.class_ID = args_.Value<Class_ID>();
                return true;
            case p_sclassID:
                // Super class IDs fit 32 bits; a literal passed as an int reads the same.
                pd.sclass_ID = args_.Value<unsigned long>() & 0xFFFFFFFFul;
                return true;
            case p_enabled:
                pd.enabled = args_.Int();
                return true;
            case p_enable_ctrls: {
                const int n = args_.Int();
                if (n < 0 || n > kMaxControls) {
                    return Fail("p_enable_ctrls count " + std::to_string(n) + " is out of range");
                }
                for (int k = 0; k < n; ++k) {
                    const ParamID id = static_cast<ParamID>(args_.Int());
                    pd.enable_ctrls.Append(1, &id);
                }
                return true;
            }
            case p_prompt:
                pd.prompt = args_.Int();
                return true;
            case p_caption:
                pd.caption = args_.Int();
                return true;
            case p_init_file:
                pd.init_file = MSTR(static_cast<const MCHAR*>(args_.Ptr()));
                return true;
            case p_file_types:
                pd.file_types = args_.Int();
                return true;
            case p_tooltip:
                pd.tooltip = args_.Int();
                return true;
            case p_refno:
                pd.refno = args_.Int();
                return true;
            case p_subtexno:
            case p_submtlno:
                pd.subobj_no = args_.Int();
                return true;
            case p_uix: {
                const MapID map = static_cast<MapID>(args_.Int());
                pd.extra_maps.Append(1, &map);
                return true;
            }
            case p_nonLocalizedName:
                pd.nonLocalizedName = MSTR(static_cast<const MCHAR*>(args_.Ptr()));
                return true;
            case p_assetTypeID:
                pd.assetTypeID = args_.Int();
                return true;
            case p_assetTypeName:
                pd.assetTypeName = MSTR(static_cast<const MCHAR*>(args_.Ptr()));
                return true;
            case p_defaults_and_ranges_in_meters:
                pd.defaults_in_meters = true;
                return true;
            default:
                if (IsParamTag(tag)) {
                    return Fail("tag " + std::to_string(tag - p_default) + " is not supported");
                }
                return Fail("expected a tag or p_end, found " + std::to_string(tag) +
                            " (a missing p_end?)");
        }
    }

    ParamBlockDesc2& desc_;
    VarArgReader& args_;
    std::string where_;
};

ParamBlockDesc2::ParamBlockDesc2() { invalid_.type = TYPE_VOID; }

ParamBlockDesc2::ParamBlockDesc2(BlockID id, const MCHAR* name, StringResID localName,
                                 ClassDesc2* classDesc, int blockFlags, ...)
    : ID(id),
      int_name(name),
      local_name(localName),
      cd(classDesc),
      flags(static_cast<USHORT>(blockFlags)) {
    va_list ap;
    va_start(ap, blockFlags);
    Read(ap);
    va_end(ap);
    if (cd != nullptr) cd->AddParamBlockDesc(this);
}

void ParamBlockDesc2::Read(va_list ap) {
    VarArgReader args(ap);
    ParamBlockDescReader reader(*this, args);
    reader.ReadAll();
}

void ParamBlockDesc2::AddParam(int id, ...) {
    va_list ap;
    va_start(ap, id);
    VarArgReader args(ap);
    ParamBlockDescReader reader(*this, args);
    reader.ReadParam(id);
    va_end(ap);
}

void ParamBlockDesc2::Add(const ParamDef& def) {
    if (def.ID >= 0) {
        const auto at = static_cast<std::size_t>(def.ID);
        if (indexOfId_.size() <= at) indexOfId_.resize(at + 1, -1);
        indexOfId_[at] = static_cast<int>(params_.size());
    }
    params_.push_back(def);
}

int ParamBlockDesc2::IDtoIndex(ParamID id) const {
    if (id >= 0) {
        const auto at = static_cast<std::size_t>(id);
        return at < indexOfId_.size() ? indexOfId_[at] : -1;
    }
    for (std::size_t k = 0; k < params_.size(); ++k) {
        if (params_[k].ID == id) return static_cast<int>(k);
    }
    return -1;
}

ParamID ParamBlockDesc2::IndextoID(int i) const {
    if (i < 0 || i >= Count()) return -1;
    return params_[static_cast<std::size_t>(i)].ID;
}

int ParamBlockDesc2::NameToIndex(const MCHAR* name) const {
    if (name == nullptr) return -1;
    for (std::size_t k = 0; k < params_.size(); ++k) {
        if (SameNameNoCase(params_[k].int_name.data(), name)) return static_cast<int>(k);
    }
    return -1;
}

ParamDef& ParamBlockDesc2::GetParamDef(ParamID id) {
    const int i = IDtoIndex(id);
    return GetParamDefByIndex(i);
}

ParamDef& ParamBlockDesc2::GetParamDefByIndex(int i) {
    if (i < 0 || i >= Count()) {
        invalid_ = ParamDef();  // whatever a caller wrote into it last time is gone
        return invalid_;
    }
    return params_[static_cast<std::size_t>(i)];
}

ParamMapSpec* ParamBlockDesc2::GetMapSpec(MapID id) {
    for (ParamMapSpec& mapSpec : map_specs) {
        if (mapSpec.map_id == id) return &mapSpec;
    }
    return nullptr;
}

// ----- ClassDesc2 -------------------------------------------------------------------------------

ParamBlockDesc2* ClassDesc2::GetParamBlockDesc(int i) {
    return i >= 0 && i < pbDescs_.Count() ? pbDescs_[i] : nullptr;
}

ParamBlockDesc2* ClassDesc2::GetParamBlockDescByID(BlockID id) {
    for (ParamBlockDesc2* d : pbDescs_) {
        if (d->ID == id) return d;
    }
    return nullptr;
}

void ClassDesc2::AddParamBlockDesc(ParamBlockDesc2* pbd) {
    if (pbd == nullptr) return;
    for (ParamBlockDesc2* d : pbDescs_) {
        if (d == pbd) return;
    }
    pbd->cd = this;
    pbDescs_.Append(1, &pbd);
}

void ClassDesc2::MakeAutoParamBlocks(ReferenceMaker* owner) {
    if (owner == nullptr) return;
    for (ParamBlockDesc2* d : pbDescs_) {
        if ((d->flags & P_AUTO_CONSTRUCT) == 0) continue;
        IParamBlock2* pb = CreateParameterBlock2(d, owner);
        if (owner->ReplaceReference(d->ref_no, pb) != REF_SUCCEED) pb->DeleteThis();
    }
}

void ClassDesc2::BeginEditParams(IObjParam* /*ip*/, ReferenceMaker* obj, ULONG /*flags*/,
                                 Animatable* /*prev*/) {
    ++beginEditCount_;
    edited_ = obj;
}

void ClassDesc2::EndEditParams(IObjParam* /*ip*/, ReferenceMaker* obj, ULONG /*flags*/,
                               Animatable* /*next*/) {
    ++endEditCount_;
    if (edited_ == obj) edited_ = nullptr;
}

void ClassDesc2::InvalidateUI(ParamBlockDesc2* pbd) {
    ++invalidateUICount_;
    if (pbd) pbd->InvalidateUI();
}

void ClassDesc2::InvalidateUI(ParamBlockDesc2* pbd, ParamID id, int tabIndex) {
    ++invalidateUICount_;
    if (pbd) pbd->InvalidateUI(id, tabIndex);
}
