// The title, export and about rollouts: help links, the Export button, the maker's pages.
#include "export/render_nodes.h"
#include "iparamm2.h"
#include "object/param_ids.h"
#include "object/trellon.h"
#include "resource.h"
#include "ui/dlg_procs.h"
#include "ui/rollout_kit.h"

namespace trellon::ui {

namespace {

class TitleProc : public ParamMap2UserDlgProc {
public:
    INT_PTR DlgProc(TimeValue /*t*/, IParamMap2* /*map*/, HWND /*hWnd*/, UINT msg, WPARAM wParam,
                    LPARAM /*lParam*/) override {
        if (msg == WM_COMMAND && LOWORD(wParam) == IDC_HELP) {
            OpenHelp(HelpPage::Title);
            return TRUE;
        }
        return msg == WM_INITDIALOG ? TRUE : FALSE;
    }
    void DeleteThis() override {}
};

// The Export button is enabled while the object has a path and something to export.
class ExportProc final : public RolloutProc {
public:
    ExportProc() : RolloutProc(map_export, false, false) {}

private:
    void Fill(Trellon& obj, HWND hWnd, TimeValue t) override {
        EnableControl(hWnd, IDC_EXPORT, CanExport(*obj.pblock2, t));
    }
    void Command(Trellon& obj, HWND /*hWnd*/, int id, int /*code*/, TimeValue /*t*/) override {
        if (id == IDC_EXPORT) {
            // The object's node is deleted by the export, and the command panel closes its
            // rollouts with it: nothing of this rollout is touched afterwards.
            ExportToGeometry(obj);
        } else if (id == IDC_HELP) {
            OpenHelp(HelpPage::Export);
        }
    }
};

class AboutProc : public ParamMap2UserDlgProc {
public:
    INT_PTR DlgProc(TimeValue /*t*/, IParamMap2* /*map*/, HWND hWnd, UINT msg, WPARAM wParam,
                    LPARAM /*lParam*/) override {
        static constexpr const MCHAR* kIcons[] = {_M(":/social_facebook"), _M(":/social_twitter"),
                                                  _M(":/social_linkedin"), _M(":/social_youtube")};
        switch (msg) {
            case WM_INITDIALOG:
                for (int i = 0; i < 4; ++i) {
                    SetUpButton(hWnd, IDC_SOCIAL_FIRST + i, kIcons[i], nullptr, false);
                }
                return TRUE;
            case WM_COMMAND: {
                const int id = LOWORD(wParam);
                if (id == IDC_WEB_SITE) OpenHelp(HelpPage::Maker);
                if (id >= IDC_SOCIAL_FIRST && id < IDC_SOCIAL_FIRST + 4) {
                    OpenSocialPage(id - IDC_SOCIAL_FIRST);
                }
                return TRUE;
            }
            case WM_CTLCOLORSTATIC:
                // Static texts on a transparent background.
                SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
                return static_cast<INT_PTR>(GetStockObject(NULL_BRUSH));
            default:
                return FALSE;
        }
    }
    void DeleteThis() override {}
};

}  // namespace

ParamMap2UserDlgProc* TitleDlgProc() {
    static TitleProc proc;
    return &proc;
}

ParamMap2UserDlgProc* ExportDlgProc() {
    static ExportProc proc;
    return &proc;
}

ParamMap2UserDlgProc* AboutDlgProc() {
    static AboutProc proc;
    return &proc;
}

}  // namespace trellon::ui
