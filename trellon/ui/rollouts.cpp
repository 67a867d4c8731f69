// Opening and closing the object's rollouts.
#include <array>

#include "iparamm2.h"
#include "object/param_ids.h"
#include "object/trellon.h"
#include "plugin/plugin.h"
#include "resource.h"
#include "ui/dlg_procs.h"
#include "ui/picker.h"
#include "ui/rollout_kit.h"

namespace trellon {
namespace {

struct Rollout {
    MapID map;
    int dialog;
    int title;
    DWORD flags;
    ParamMap2UserDlgProc* (*proc)();
};

// The modify panel's rollouts in their order; the last three start rolled up.
constexpr std::array<Rollout, 7> kRollouts = {{
    {map_title, IDD_TITLE, IDS_TITLE_ROLLOUT, 0, &trellon::ui::TitleDlgProc},
    {map_spline, IDD_SPLINE, IDS_SPLINE_ROLLOUT, 0, &trellon::ui::SplineDlgProc},
    {map_objects, IDD_OBJECTS, IDS_OBJECTS_ROLLOUT, 0, &trellon::ui::ObjectDlgProc},
    {map_sweeps, IDD_SWEEPS, IDS_SWEEPS_ROLLOUT, 0, &trellon::ui::SweepDlgProc},
    {map_colour, IDD_COLOUR, IDS_COLOUR_ROLLOUT, APPENDROLL_CLOSED, &trellon::ui::TextureDlgProc},
    {map_export, IDD_EXPORT, IDS_EXPORT_ROLLOUT, APPENDROLL_CLOSED, &trellon::ui::ExportDlgProc},
    {map_about, IDD_ABOUT, IDS_ABOUT_ROLLOUT, APPENDROLL_CLOSED, &trellon::ui::AboutDlgProc},
}};

void Open(Trellon& obj, IObjParam* ip, const Rollout& r) {
    // GetString's buffer is shared: keep the title while the map is made.
    const MSTR title(trellon::GetString(r.title) ? trellon::GetString(r.title) : _M(""));
    obj.ParamMaps[static_cast<std::size_t>(r.map)] =
        CreateCPParamMap2(r.map, obj.pblock2, ip, trellon::hInstance, MAKEINTRESOURCE(r.dialog),
                          title.data(), r.flags, r.proc(), nullptr, ROLLUP_CAT_STANDARD);
}

}  // namespace

void Trellon::BeginEditParams(IObjParam* ip, ULONG editFlags, Animatable* /*prev*/) {
    Interface = ip;
    if (!ip || !pblock2) return;
    trellon::ui::SetEditedObject(this);
    if (editFlags == BEGIN_EDIT_CREATE) {
        Open(*this, ip, kRollouts[0]);
    } else if (editFlags == 0) {
        for (const Rollout& r : kRollouts) Open(*this, ip, r);
    }
}

void Trellon::EndEditParams(IObjParam* ip, ULONG /*flags*/, Animatable* /*next*/) {
    if (ip) ip->ClearPickMode();
    trellon::ui::ThePicker().Forget(*this);
    for (IParamMap2*& map : ParamMaps) {
        if (!map) continue;
        IParamMap2* closing = map;
        map = nullptr;
        DestroyCPParamMap2(closing);
    }
    SelectedRow = -1;
    SelectedSweepRow = -1;
    NotifyDependents(Interval(Time, Time), PART_ALL, REFMSG_END_EDIT);
    Interface = nullptr;
    if (trellon::ui::EditedObject() == this) trellon::ui::SetEditedObject(nullptr);
}

}  // namespace trellon
