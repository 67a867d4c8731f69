// The host's command panel and viewport modes: the roll-up window of the open rollouts, the
// object being edited (in the create or the modify panel), the pick mode in force, the
// select-by-name dialog and the answers a headless user gives to the module's question boxes.
//
// The scene owns one panel and forwards the core interface's calls to it (maxapi.h): the
// rollouts go into its roll-up window, SetPickMode / ClearPickMode change its mode, PickNode and
// DoHitByNameDialog answer from what the driving user asked for (Pick, QueueNames). Nothing
// blocks for a person: a dialog or a question that finds no answer prepared is noted as a
// problem (Problems) and gets the cancel or the default answer.
//
// Editing: Edit(node, create) ends the editing in force (EndEditParams, which closes its
// rollouts and ends its pick mode) and calls the object's BeginEditParams (BEGIN_EDIT_CREATE in
// the create panel, 0 in the modify panel). Deleting the edited node ends its editing first.
#pragma once

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "maxapi.h"

class IRollupWindow;

namespace host {

class Node;
class Scene;

class CommandPanel {
public:
    explicit CommandPanel(Scene& scene);
    ~CommandPanel();
    CommandPanel(const CommandPanel&) = delete;
    CommandPanel& operator=(const CommandPanel&) = delete;

    IRollupWindow* Rollup() { return rollup_.get(); }

    // --- Editing ---
    void Edit(Node* node, bool create);
    void EndEdit();
    Node* EditedNode() const { return edited_; }
    bool Creating() const { return creating_; }
    // The scene is about to delete node.
    void NodeDeleting(Node* node);

    // --- Pick modes ---
    void SetPickMode(PickModeCallback* pc);
    void ClearPickMode();
    PickModeCallback* CurrentPickMode() const { return pickMode_; }
    // The user clicks node in a viewport while the pick mode is in force. Empty on success (the
    // mode took the node), otherwise why nothing was picked.
    std::string Pick(Node* node);
    // The node under the mouse for the pick mode's hit test, when filt accepts it.
    INode* PickNode(PickNodeCallback* filt);

    // --- The select-by-name dialog ---
    // The nodes the user will choose the next time the dialog opens.
    void QueueNames(std::vector<Node*> nodes) { names_.push_back(std::move(nodes)); }
    bool NamesQueued() const { return !names_.empty(); }
    BOOL DoHitByNameDialog(HitByNameDlgCallback* cb);

    // --- Question boxes ---
    void QueueAnswer(int answer) { answers_.push_back(answer); }
    bool AnswersQueued() const { return !answers_.empty(); }
    // The next queued answer, or 0 when none is queued.
    int TakeAnswer();
    // While strict, a question box without a queued answer is a problem.
    void SetStrict(bool strict) { strict_ = strict; }
    bool Strict() const { return strict_; }

    // What went wrong in dialogs and questions since the last TakeProblems.
    void NoteProblem(std::string problem) { problems_.push_back(std::move(problem)); }
    std::vector<std::string> TakeProblems();

    // Pages the module opened (ShellExecute), in order.
    const std::vector<std::wstring>& OpenedPages() const { return opened_; }
    void NotePageOpened(const std::wstring& page) { opened_.push_back(page); }

private:
    Scene& scene_;
    std::unique_ptr<IRollupWindow> rollup_;
    Node* edited_ = nullptr;
    bool creating_ = false;
    PickModeCallback* pickMode_ = nullptr;
    Node* underMouse_ = nullptr;
    std::deque<std::vector<Node*>> names_;
    std::deque<int> answers_;
    bool strict_ = false;
    std::vector<std::string> problems_;
    std::vector<std::wstring> opened_;
};

}  // namespace host
