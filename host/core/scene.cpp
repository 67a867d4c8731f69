#include "scene.h"

#include <algorithm>
#include <cwctype>

#include "command_panel.h"
#include "editable_mesh.h"
#include "ifnpub.h"
#include "imtl.h"
#include "material_classes.h"
#include "materials.h"
#include "maxscript/maxscript.h"
#include "notify.h"
#include "plugapi.h"
#include "splshape.h"
#include "triobj.h"
#include "windows.h"

#include "materials.h"
#include "progress_bar.h"

namespace host {

Scene::Scene() : panel_(std::make_unique<CommandPanel>(*this)) {
    root_ = new Node(*this, 0, MSTR(_M("Scene Root")), true);
    WinStandIn::SetShellExecuteHandler([this](const std::wstring&, const std::wstring& file) {
        panel_->NotePageOpened(file);
        return true;
    });
    SetCOREInterface(this);
    WinStandIn::SetMessageBoxHandler([this](HWND, LPCWSTR text, LPCWSTR caption, UINT type) {
        return OnMessageBox(text, caption, type);
    });
    SetMAXScriptHandler(
        [this](const MCHAR* s, BOOL, FPValue* fpv, BOOL) { return OnScript(s, fpv); });
}

Scene::~Scene() {
    // The rollouts close before anything they show goes.
    panel_->EndEdit();
    // Nodes go first, newest first, so objects see their dependents leave in a stable order.
    while (!nodes_.empty()) DeleteNodeTree(nodes_.back());
    for (Mtl* m : sceneMaterials_) {
        m->ClearAFlag(A_LOCK_TARGET);
        m->MaybeAutoDelete();
    }
    sceneMaterials_.clear();
    root_->DeleteMe();
    // The handlers are the newest scene's: a scene made before this one goes leaves them alone.
    if (GetCOREInterface() == this) {
        WinStandIn::SetShellExecuteHandler(nullptr);
        SetMAXScriptHandler(nullptr);
        WinStandIn::SetMessageBoxHandler(nullptr);
        SetCOREInterface(nullptr);
    }
}

void Scene::SetTime(TimeValue t, BOOL redraw) {
    time_ = t;
    if (redraw) RedrawViews(t);
}

INode* Scene::GetINodeByName(const MCHAR* name) {
    if (!name) return nullptr;
    for (Node* n : nodes_) {
        if (std::wcscmp(n->GetName(), name) == 0) return n;
    }
    return nullptr;
}

INode* Scene::GetINodeByHandle(ULONG handle) {
    if (handle == 0) return root_;
    for (Node* n : nodes_) {
        if (n->GetHandle() == handle) return n;
    }
    return nullptr;
}

void Scene::RegisterClass(ClassDesc* cd) {
    if (cd && std::find(classes_.begin(), classes_.end(), cd) == classes_.end()) {
        classes_.push_back(cd);
    }
}

ClassDesc* Scene::FindClass(SClass_ID superID, Class_ID classID) const {
    for (ClassDesc* cd : classes_) {
        if (cd->SuperClassID() == superID && cd->ClassID() == classID) return cd;
    }
    return nullptr;
}

void* Scene::CreateInstance(SClass_ID superID, Class_ID classID) {
    // The host's own classes first.
    if (superID == GEOMOBJECT_CLASS_ID && classID == triObjectClassID) return CreateNewTriObject();
    if (superID == GEOMOBJECT_CLASS_ID && classID == Class_ID(EDITTRIOBJ_CLASS_ID, 0)) {
        return static_cast<Object*>(new EditableMesh());
    }
    if (superID == SHAPE_CLASS_ID && classID == splineShapeClassID) return new SplineShape();
    // Materials and maps of the host's class table; a new material is named after its kind.
    if (const MaterialClass* cls = FindMaterialClass(superID, classID)) {
        MtlBase* m = NewMaterialOrMap(*cls);
        if (cls->kind == MaterialKind::Multi) {
            m->SetName(MSTR(_M("Multimaterial")));
        } else if (cls->kind != MaterialKind::Map) {
            m->SetName(MSTR(_M("Material")));
        } else {
            m->SetName(MSTR(_M("Map")));
        }
        // The class's own first base (Mtl or Texmap) is what callers cast the result to.
        if (auto* mtl = dynamic_cast<Mtl*>(m)) return mtl;
        return static_cast<Texmap*>(m);
    }
    if (ClassDesc* cd = FindClass(superID, classID)) return cd->Create(FALSE);
    return nullptr;
}

bool Scene::NameInUse(const MSTR& name) const { return nameUses_.count(name.str()) > 0; }

void Scene::NodeRenamed(const MSTR& before, const MSTR& after) {
    if (auto it = nameUses_.find(before.str()); it != nameUses_.end() && --it->second == 0)
        nameUses_.erase(it);
    ++nameUses_[after.str()];
}

MSTR Scene::NextNumberedName(const MSTR& base) const {
    for (int n = 1;; ++n) {
        MSTR candidate;
        candidate.printf(_M("%ls%03d"), base.data(), n);
        if (!NameInUse(candidate)) return candidate;
    }
}

void Scene::MakeNameUnique(MSTR& name) {
    if (!NameInUse(name)) return;
    std::wstring base = name.str();
    while (!base.empty() && std::iswdigit(base.back())) base.pop_back();
    name = NextNumberedName(MSTR(base));
}

INode* Scene::CreateObjectNode(Object* obj) {
    MSTR base(_M("Object"));
    if (obj) obj->InitNodeName(base);
    return CreateNamedNode(obj, NextNumberedName(base));
}

Node* Scene::CreateNamedNode(Object* obj, const MSTR& name) {
    MSTR unique = name;
    MakeNameUnique(unique);
    auto* node = new Node(*this, nextHandle_++, unique);
    nodes_.push_back(node);
    ++nameUses_[unique.str()];
    root_->AttachChild(node);
    layers_.GetCurrentLayer()->AddToLayer(node);
    if (obj) node->SetObjectRef(obj);
    if (nodeCreated_) nodeCreated_(node);
    return node;
}

void Scene::DeleteNodeTree(Node* node) {
    // Children outlive their parent: they move to the root.
    while (node->NumberOfChildren() > 0) root_->AttachChild(node->GetChildNode(0));
    if (auto* parent = dynamic_cast<Node*>(node->GetParentNode())) parent->RemoveChild(node);
    nodes_.erase(std::remove(nodes_.begin(), nodes_.end(), node), nodes_.end());
    if (auto it = nameUses_.find(node->GetName()); it != nameUses_.end() && --it->second == 0)
        nameUses_.erase(it);
    selection_.erase(std::remove(selection_.begin(), selection_.end(), node), selection_.end());
    if (auto* l = dynamic_cast<Layer*>(node->GetLayer())) l->ForgetNode(node);
    node->ClearAFlag(A_LOCK_TARGET);
    node->DeleteMe();
}

void Scene::DeleteNode(INode* inode, BOOL redraw, BOOL /*overrideSlaves*/) {
    auto* node = dynamic_cast<Node*>(inode);
    if (!node || node->IsRootNode()) return;
    if (std::find(nodes_.begin(), nodes_.end(), node) == nodes_.end()) return;
    panel_->NodeDeleting(node);
    DeleteNodeTree(node);
    if (redraw) RedrawViews(time_);
}

std::vector<Node*> Scene::Nodes() const { return nodes_; }

INode* Scene::GetSelNode(int i) {
    if (i < 0 || i >= GetSelNodeCount()) return nullptr;
    return selection_[static_cast<std::size_t>(i)];
}

void Scene::SelectNode(INode* node, int clearSel) {
    if (clearSel) selection_.clear();
    if (node && std::find(selection_.begin(), selection_.end(), node) == selection_.end()) {
        selection_.push_back(node);
    }
}

void Scene::ClearNodeSelection(BOOL /*redraw*/) { selection_.clear(); }

void Scene::RedrawViews(TimeValue /*t*/, DWORD /*vpFlags*/, ReferenceTarget* /*change*/) {
    if (redrawDisabled_ == 0) ++redraws_;
}

void Scene::ForceCompleteRedraw(BOOL /*doDisabled*/) { ++redraws_; }

void Scene::EnableSceneRedraw() {
    if (redrawDisabled_ > 0) --redrawDisabled_;
}

void Scene::ActivateTexture(Texmap* txm, Mtl* mtl, int /*subNum*/) {
    activeTexmap_ = txm;
    if (mtl) mtl->SetActiveTexmap(txm);
}

void Scene::DeActivateTexture(Texmap* txm, Mtl* mtl, int /*subNum*/) {
    if (activeTexmap_ == txm) activeTexmap_ = nullptr;
    if (mtl && mtl->GetActiveTexmap() == txm) mtl->SetActiveTexmap(nullptr);
}

void Scene::PushPrompt(const MCHAR* msg) { prompts_.emplace_back(msg ? msg : L""); }
void Scene::PopPrompt() {
    if (!prompts_.empty()) prompts_.pop_back();
}
void Scene::ReplacePrompt(const MCHAR* msg) {
    if (prompts_.empty()) prompts_.emplace_back();
    prompts_.back() = msg ? msg : L"";
}
void Scene::DisplayTempPrompt(const MCHAR* msg, int /*msec*/) {
    prompts_.emplace_back(msg ? msg : L"");
}

void Scene::SetFileName(const MSTR& path) {
    filePath_ = path;
    const int slash = path.last(L'/');
    fileName_ = slash < 0 ? path : path.Substr(slash + 1, path.Length() - slash - 1);
}

void Scene::AddSceneMaterial(Mtl* m) {
    if (!m ||
        std::find(sceneMaterials_.begin(), sceneMaterials_.end(), m) != sceneMaterials_.end()) {
        return;
    }
    m->SetAFlag(A_LOCK_TARGET);
    m->SetMtlFlag(MTL_IN_SCENE);
    sceneMaterials_.push_back(m);
}

void Scene::RemoveSceneMaterial(Mtl* m) {
    auto it = std::find(sceneMaterials_.begin(), sceneMaterials_.end(), m);
    if (it == sceneMaterials_.end()) return;
    sceneMaterials_.erase(it);
    m->ClearMtlFlag(MTL_IN_SCENE);
    m->ClearAFlag(A_LOCK_TARGET);
    m->MaybeAutoDelete();
}

int Scene::SceneMtlLib::Remove(MtlBase* m) {
    if (!m) return -1;
    auto& list = scene_.sceneMaterials_;
    auto* mtl = dynamic_cast<Mtl*>(m);
    const auto it = std::find(list.begin(), list.end(), mtl);
    if (it == list.end()) {
        // Not in the library: it goes when nothing refers to it any more.
        m->MaybeAutoDelete();
        return -1;
    }
    const int index = static_cast<int>(it - list.begin());
    scene_.RemoveSceneMaterial(mtl);
    return index;
}

void Scene::SetCurrentRenderer(const RendererInfo& renderer) {
    renderer_ = renderer;
    rendererObject_.SetClassID(renderer.classId);
    if (renderer.classId == kCoronaRendererClassID) {
        const std::int64_t version = renderer.version;
        SetScriptAnswer(kCoronaVersionExpression, [version](FPValue* result) {
            if (result) result->Load(TYPE_INT64, static_cast<INT64>(version));
            return TRUE;
        });
    } else {
        scriptAnswers_.erase(kCoronaVersionExpression);
    }
}

Renderer* Scene::GetCurrentRenderer(bool createRendererIfItDoesntExist) {
    if (renderer_.IsNone()) {
        if (!createRendererIfItDoesntExist) return nullptr;
        SetCurrentRenderer(RendererInfo{kScanlineRendererClassID, 0});
    }
    return &rendererObject_;
}

IRollupWindow* Scene::GetCommandPanelRollup() { return panel_->Rollup(); }
void Scene::SetPickMode(PickModeCallback* pc) { panel_->SetPickMode(pc); }
void Scene::ClearPickMode() { panel_->ClearPickMode(); }
PickModeCallback* Scene::GetCurPickMode() { return panel_->CurrentPickMode(); }
INode* Scene::PickNode(HWND /*hWnd*/, IPoint2 /*pt*/, PickNodeCallback* filt) {
    return panel_->PickNode(filt);
}
BOOL Scene::DoHitByNameDialog(HitByNameDlgCallback* hbncb) {
    return panel_->DoHitByNameDialog(hbncb);
}

int Scene::OnMessageBox(LPCWSTR text, LPCWSTR caption, UINT type) {
    MessageRecord r;
    r.caption = caption ? caption : L"";
    r.text = text ? text : L"";
    r.type = type;
    const bool question = (type & MB_TYPEMASK) != MB_OK;
    if (panel_->AnswersQueued()) {
        r.answer = panel_->TakeAnswer();
    } else if (question && panel_->Strict()) {
        panel_->NoteProblem("the question \"" + ToUTF8(r.caption) +
                            "\" was asked, but no `answer` step came before it");
        r.answer = WinStandIn::DefaultMessageBoxAnswer(type);
    } else if (auto it = answers_.find(r.caption); it != answers_.end()) {
        r.answer = it->second;
    } else if (defaultAnswer_ != 0) {
        r.answer = defaultAnswer_;
    } else {
        r.answer = WinStandIn::DefaultMessageBoxAnswer(type);
    }
    messages_.push_back(r);
    return r.answer;
}

void Scene::SetScriptAnswer(const std::wstring& expression, ScriptAnswer answer) {
    scriptAnswers_[expression] = std::move(answer);
}

BOOL Scene::OnScript(const MCHAR* s, FPValue* fpv) {
    if (!s) return FALSE;
    auto it = scriptAnswers_.find(s);
    if (it == scriptAnswers_.end()) return FALSE;
    return it->second(fpv);
}

}  // namespace host

namespace host {

BOOL Scene::ProgressStart(const MCHAR* title, BOOL dispBar, LPTHREAD_START_ROUTINE fn, LPVOID arg) {
    progress_.reset();
    if (dispBar) progress_ = std::make_unique<ProgressBar>(ToUTF8(title ? title : L""));
    if (fn) fn(arg);
    return TRUE;
}

void Scene::ProgressUpdate(int pct, BOOL /*showPct*/, const MCHAR* title) {
    if (!progress_) return;
    if (title) progress_->SetPhase(ToUTF8(title));
    progress_->Update(pct / 100.0);
}

void Scene::ProgressEnd() { progress_.reset(); }

}  // namespace host
