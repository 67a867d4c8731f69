#include "command_panel.h"

#include "custcont.h"
#include "node.h"
#include "object.h"
#include "scene.h"
#include "viewport.h"

namespace host {

namespace {

// The viewport of a click: the picked node is its closest hit.
class PickViewport : public TopViewport {
public:
    INode* GetClosestHit() override { return hit; }
    INode* hit = nullptr;
};

std::string NameOf(Node* node) { return ToUTF8(node->GetName()); }

}  // namespace

CommandPanel::CommandPanel(Scene& scene) : scene_(scene), rollup_(CreateRollupWindow()) {}

CommandPanel::~CommandPanel() = default;

void CommandPanel::Edit(Node* node, bool create) {
    Animatable* previous = edited_ ? edited_->GetObjectRef() : nullptr;
    Object* next = node ? node->GetObjectRef() : nullptr;
    if (edited_) {
        if (Object* obj = edited_->GetObjectRef()) {
            obj->EndEditParams(&scene_, END_EDIT_REMOVEUI, next);
        }
        edited_ = nullptr;
    }
    ClearPickMode();
    if (!node || !next) return;
    edited_ = node;
    creating_ = create;
    next->BeginEditParams(&scene_, create ? BEGIN_EDIT_CREATE : 0, previous);
}

void CommandPanel::EndEdit() { Edit(nullptr, false); }

void CommandPanel::NodeDeleting(Node* node) {
    if (node == underMouse_) underMouse_ = nullptr;
    if (node == edited_) EndEdit();
}

void CommandPanel::SetPickMode(PickModeCallback* pc) {
    ClearPickMode();
    pickMode_ = pc;
    if (pc) pc->EnterMode(&scene_);
}

void CommandPanel::ClearPickMode() {
    PickModeCallback* ending = pickMode_;
    pickMode_ = nullptr;
    if (ending) ending->ExitMode(&scene_);
}

std::string CommandPanel::Pick(Node* node) {
    PickModeCallback* pc = pickMode_;
    if (!pc) return "no pick mode is in force";
    underMouse_ = node;
    PickViewport vpt;
    const BOOL hit = pc->HitTest(&scene_, nullptr, &vpt, IPoint2(0, 0), 0);
    if (!hit || !underMouse_) {
        underMouse_ = nullptr;
        return "the pick mode does not take \"" + NameOf(node) + "\"";
    }
    vpt.hit = underMouse_;
    underMouse_ = nullptr;
    if (pc->Pick(&scene_, &vpt) && pickMode_ == pc) ClearPickMode();
    return {};
}

INode* CommandPanel::PickNode(PickNodeCallback* filt) {
    if (!underMouse_) return nullptr;
    if (filt && !filt->Filter(underMouse_)) return nullptr;
    return underMouse_;
}

BOOL CommandPanel::DoHitByNameDialog(HitByNameDlgCallback* cb) {
    if (names_.empty()) {
        NoteProblem("the select-by-name dialog opened, but no `names` step chose its nodes");
        return FALSE;
    }
    std::vector<Node*> chosen = std::move(names_.front());
    names_.pop_front();
    INodeTab tab;
    for (Node* n : chosen) {
        if (cb && cb->useFilter() && !cb->filter(n)) {
            NoteProblem("the select-by-name dialog does not list \"" + NameOf(n) + "\"");
            return FALSE;
        }
        INode* in = n;
        tab.Append(1, &in);
    }
    if (cb && cb->useProc()) {
        cb->proc(tab);
    } else {
        for (Node* n : chosen) scene_.SelectNode(n, 0);
    }
    return TRUE;
}

int CommandPanel::TakeAnswer() {
    if (answers_.empty()) return 0;
    const int answer = answers_.front();
    answers_.pop_front();
    return answer;
}

std::vector<std::string> CommandPanel::TakeProblems() {
    std::vector<std::string> out;
    out.swap(problems_);
    return out;
}

}  // namespace host
