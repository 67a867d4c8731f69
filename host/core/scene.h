// The host's scene: the core interface the module reaches through GetCOREInterface. It holds the
// nodes (under one root node, each with a unique handle and a unique name), the layers, the
// current time, the selection, the plug-in classes it can create, and the answers a headless
// host gives to message boxes and script expressions. Redraw requests are counted, not drawn.
//
// One scene is current at a time: constructing a Scene installs it as the core interface (and as
// the message-box and script handler); destroying it removes it.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "layers.h"
#include "maxapi.h"
#include "node.h"
#include "renderers.h"

class ClassDesc;
class FPValue;

namespace host {

class CommandPanel;
class ProgressBar;

// A message box the module showed, and what the host answered.
struct MessageRecord {
    std::wstring caption;
    std::wstring text;
    UINT type = 0;
    int answer = 0;
};

class Scene : public IObjParam {
public:
    Scene();
    ~Scene() override;
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    // --- Interface ------------------------------------------------------------------------
    TimeValue GetTime() override { return time_; }
    void SetTime(TimeValue t, BOOL redraw = TRUE) override;
    Interval GetAnimRange() override { return animRange_; }
    INode* GetRootNode() override { return root_; }
    INode* GetINodeByName(const MCHAR* name) override;
    INode* GetINodeByHandle(ULONG handle) override;
    // Creates an instance of a class the host knows (its own or a loaded module's); null for an
    // unknown class.
    void* CreateInstance(SClass_ID superID, Class_ID classID) override;
    // Makes a node for obj under the root, on the current layer, named after the object's
    // InitNodeName with the next free three-digit number ("Trellon_001").
    INode* CreateObjectNode(Object* obj) override;
    // Deletes the node: whatever refers to it is told (REFMSG_TARGET_DELETED) and lets go; its
    // children move to the root.
    void DeleteNode(INode* node, BOOL redraw = TRUE, BOOL overrideSlaves = FALSE) override;
    // Leaves a name nobody uses as it is; otherwise replaces its trailing digits by the smallest
    // free three-digit number ("Rail" -> "Rail001", "Rail001" -> "Rail002").
    void MakeNameUnique(MSTR& name) override;
    int GetSelNodeCount() override { return static_cast<int>(selection_.size()); }
    INode* GetSelNode(int i) override;
    void SelectNode(INode* node, int clearSel = 1) override;
    void ClearNodeSelection(BOOL redraw = TRUE) override;
    void RedrawViews(TimeValue t, DWORD vpFlags = REDRAW_NORMAL,
                     ReferenceTarget* change = nullptr) override;
    void ForceCompleteRedraw(BOOL doDisabled = TRUE) override;
    void DisableSceneRedraw() override { ++redrawDisabled_; }
    void EnableSceneRedraw() override;
    int IsSceneRedrawDisabled() override { return redrawDisabled_ > 0 ? 1 : 0; }
    void ActivateTexture(Texmap* txm, Mtl* mtl, int subNum = -1) override;
    void DeActivateTexture(Texmap* txm, Mtl* mtl, int subNum = -1) override;
    void PushPrompt(const MCHAR* msg) override;
    void PopPrompt() override;
    void ReplacePrompt(const MCHAR* msg) override;
    void DisplayTempPrompt(const MCHAR* msg, int msec = 1000) override;
    // A bar on standard error while a terminal shows it (progress_bar.h).
    BOOL ProgressStart(const MCHAR* title, BOOL dispBar, LPTHREAD_START_ROUTINE fn,
                       LPVOID arg) override;
    void ProgressUpdate(int pct, BOOL showPct = TRUE, const MCHAR* title = nullptr) override;
    void ProgressEnd() override;
    // The command panel and the viewport's pick modes (command_panel.h).
    IRollupWindow* GetCommandPanelRollup() override;
    void SetPickMode(PickModeCallback* pc) override;
    void ClearPickMode() override;
    PickModeCallback* GetCurPickMode() override;
    INode* PickNode(HWND hWnd, IPoint2 pt, PickNodeCallback* filt = nullptr) override;
    BOOL DoHitByNameDialog(HitByNameDlgCallback* hbncb = nullptr) override;
    ILayerManager* GetLayerManager() override { return &layers_; }
    HWND GetMAXHWnd() override { return nullptr; }
    const MSTR& GetCurFileName() override { return fileName_; }
    const MSTR& GetCurFilePath() override { return filePath_; }

    // --- Host side ------------------------------------------------------------------------
    CommandPanel& Panel() { return *panel_; }
    // Registers a loaded module's class so CreateInstance can make it.
    void RegisterClass(ClassDesc* cd);
    ClassDesc* FindClass(SClass_ID superID, Class_ID classID) const;
    // Makes a node for obj with exactly this name (made unique when taken).
    Node* CreateNamedNode(Object* obj, const MSTR& name);
    // Every node except the root, in creation order.
    std::vector<Node*> Nodes() const;
    LayerManager& Layers() { return layers_; }
    void SetFileName(const MSTR& path);

    // Scene materials (the material editor's list): the scene keeps them alive.
    void AddSceneMaterial(Mtl* m);
    void RemoveSceneMaterial(Mtl* m);
    const std::vector<Mtl*>& SceneMaterials() const { return sceneMaterials_; }

    // Message boxes: every box is recorded. The answer is the panel's next queued answer
    // (CommandPanel::QueueAnswer), else the one set for the box's caption, else the default
    // answer when set, else the box's default button.
    void SetMessageAnswer(const std::wstring& caption, int answer) { answers_[caption] = answer; }
    void SetDefaultMessageAnswer(int answer) { defaultAnswer_ = answer; }
    // The default answer; 0 when none is set (each box then gets its default button).
    int DefaultMessageAnswer() const { return defaultAnswer_; }
    const std::vector<MessageRecord>& Messages() const { return messages_; }
    void ClearMessages() { messages_.clear(); }

    // Script expressions the host answers (a headless host runs no script engine): an answer is
    // a function filling the result value; an unknown expression fails.
    using ScriptAnswer = std::function<BOOL(FPValue* result)>;
    void SetScriptAnswer(const std::wstring& expression, ScriptAnswer answer);

    // The current renderer (none at first). Corona answers the script expression of its version
    // number while it is current.
    const RendererInfo& CurrentRenderer() const { return renderer_; }
    void SetCurrentRenderer(const RendererInfo& renderer);
    // The current renderer as plug-ins see it; without one, with `createRendererIfItDoesntExist`
    // the scanline renderer becomes current (as the host makes its default renderer), else null.
    Renderer* GetCurrentRenderer(bool createRendererIfItDoesntExist = true) override;
    MtlBaseLib* GetSceneMtls() override { return &sceneMtlLib_; }

    // Told of every node made from now on (an empty function stops it).
    void SetNodeCreatedHook(std::function<void(Node*)> hook) { nodeCreated_ = std::move(hook); }

    int RedrawCount() const { return redraws_; }
    const std::vector<std::wstring>& Prompts() const { return prompts_; }
    Texmap* ActiveTexture() const { return activeTexmap_; }

private:
    int OnMessageBox(LPCWSTR text, LPCWSTR caption, UINT type);
    BOOL OnScript(const MCHAR* s, FPValue* fpv);
    bool NameInUse(const MSTR& name) const;
    // A node's name changes from `before` to `after` (the node tells its scene).
    friend class Node;
    void NodeRenamed(const MSTR& before, const MSTR& after);
    MSTR NextNumberedName(const MSTR& base) const;
    void DeleteNodeTree(Node* node);

    Node* root_ = nullptr;
    std::vector<Node*> nodes_;  // creation order, without the root
    // How many of nodes_ have each name: a scene of thousands of nodes checks a name for every
    // node it creates, which a walk over the nodes would make quadratic.
    std::unordered_map<std::wstring, int> nameUses_;
    ULONG nextHandle_ = 1;
    TimeValue time_ = 0;
    Interval animRange_{0, 100 * 160};
    std::vector<INode*> selection_;
    LayerManager layers_;
    std::vector<ClassDesc*> classes_;
    std::vector<Mtl*> sceneMaterials_;
    std::map<std::wstring, int> answers_;
    int defaultAnswer_ = 0;
    std::vector<MessageRecord> messages_;
    std::map<std::wstring, ScriptAnswer> scriptAnswers_;
    int redraws_ = 0;
    int redrawDisabled_ = 0;
    std::vector<std::wstring> prompts_;
    Texmap* activeTexmap_ = nullptr;
    MSTR fileName_;
    MSTR filePath_;
    RendererInfo renderer_;
    HostRenderer rendererObject_;
    // The scene materials as plug-ins reach them.
    class SceneMtlLib : public MtlBaseLib {
    public:
        explicit SceneMtlLib(Scene& scene) : scene_(scene) {}
        int Count() override { return static_cast<int>(scene_.sceneMaterials_.size()); }
        int Remove(MtlBase* m) override;

    private:
        Scene& scene_;
    };
    SceneMtlLib sceneMtlLib_{*this};
    std::function<void(Node*)> nodeCreated_;
    std::unique_ptr<ProgressBar> progress_;
    std::unique_ptr<CommandPanel> panel_;
};

}  // namespace host
