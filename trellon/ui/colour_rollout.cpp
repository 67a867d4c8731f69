// The colour and texture rollout ("Colour & Texture Variation"). Its switches, counts and sliders
// are automatic controls of the parameter map; this procedure keeps the enabling, the name list
// and the seed button.
#include <string>

#include "colour/variants.h"
#include "hold.h"
#include "iparamm2.h"
#include "object/param_ids.h"
#include "object/trellon.h"
#include "resource.h"
#include "ui/dlg_procs.h"
#include "ui/rollout_kit.h"

namespace trellon::ui {

namespace {

// Every control after the colour-shift switch, which they all depend on.
constexpr int kShiftControls[] = {IDC_SPIN_1049,   IDC_SLIDER_1032, IDC_SLIDER_1033,
                                  IDC_SLIDER_1034, IDC_SLIDER_1035, IDC_CHECK_1010,
                                  IDC_SEED_COLOURS};
// The name filter's controls, which also need the filter switch.
constexpr int kNameControls[] = {IDC_RADIO_1008, IDC_RADIO_1009, IDC_NAME_EDIT,
                                 IDC_NAME_ADD,   IDC_NAME_LIST,  IDC_NAME_DELETE};

class TextureProc final : public RolloutProc {
public:
    TextureProc() : RolloutProc(map_colour, false, false) {}

private:
    void SetUp(Trellon& /*obj*/, HWND hWnd, TimeValue /*t*/) override {
        SetUpButton(hWnd, IDC_SEED_COLOURS, nullptr, _M("Change random seed for colour shift."),
                    false);
        SetUpButton(hWnd, IDC_NAME_ADD, nullptr, _M("Add name of texture to exclude or include."),
                    false);
        SetUpButton(hWnd, IDC_NAME_DELETE, nullptr, _M("Delete selected name from list."), false);
    }

    void Command(Trellon& obj, HWND hWnd, int id, int /*code*/, TimeValue t) override {
        IParamBlock2* pb = obj.pblock2;
        switch (id) {
            case IDC_CHECK_1011:
            case IDC_CHECK_1010:
                Enable(pb, hWnd, t);
                break;
            case IDC_SEED_COLOURS:
                RunCommand(_M("Seed Colours"), [&] { ClearColourPools(*pb); });
                break;
            case IDC_NAME_ADD: {
                wchar_t text[260] = L"";
                GetWindowText(GetDlgItem(hWnd, IDC_NAME_EDIT), text, 260);
                if (text[0] == L'\0') break;
                RunCommand(_M("Add Texture Name"), [&] {
                    const MCHAR* name = text;
                    pb->Append(Texture_Names, 1, &name);
                });
                SetDlgItemText(hWnd, IDC_NAME_EDIT, L"");
                Fill(obj, hWnd, t);
                break;
            }
            case IDC_NAME_DELETE: {
                const auto at =
                    static_cast<int>(SendDlgItemMessage(hWnd, IDC_NAME_LIST, LB_GETCURSEL, 0, 0));
                if (at < 0 || at >= pb->Count(Texture_Names)) break;
                RunCommand(_M("Delete Texture Name"), [&] { pb->Delete(Texture_Names, at, 1); });
                Fill(obj, hWnd, t);
                break;
            }
            case IDC_HELP:
                OpenHelp(HelpPage::Colour);
                break;
            default:
                break;
        }
    }

    void Fill(Trellon& obj, HWND hWnd, TimeValue t) override {
        IParamBlock2* pb = obj.pblock2;
        HWND list = GetDlgItem(hWnd, IDC_NAME_LIST);
        const auto selected = static_cast<int>(SendMessage(list, LB_GETCURSEL, 0, 0));
        SendMessage(list, LB_RESETCONTENT, 0, 0);
        for (int i = 0; i < pb->Count(Texture_Names); ++i) {
            SendMessage(list, LB_ADDSTRING, 0,
                        reinterpret_cast<LPARAM>(pb->GetStr(Texture_Names, t, i)));
        }
        if (selected >= 0) SendMessage(list, LB_SETCURSEL, static_cast<WPARAM>(selected), 0);
        Enable(pb, hWnd, t);
    }

    static void Enable(IParamBlock2* pb, HWND hWnd, TimeValue t) {
        const bool shift = pb->GetInt(Color_Shift, t) != 0;
        const bool names = shift && pb->GetInt(Advance_Shift, t) != 0;
        for (int id : kShiftControls) EnableControl(hWnd, id, shift);
        EnableControl(hWnd, IDC_EDIT_1040, shift);
        for (int id : {IDC_EDIT_1036, IDC_EDIT_1037, IDC_EDIT_1038, IDC_EDIT_1039}) {
            EnableControl(hWnd, id, shift);
        }
        for (int id : kNameControls) EnableControl(hWnd, id, names);
    }
};

}  // namespace

ParamMap2UserDlgProc* TextureDlgProc() {
    static TextureProc proc;
    return &proc;
}

}  // namespace trellon::ui
