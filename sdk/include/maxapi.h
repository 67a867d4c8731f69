// Interface: the host's core interface, the plug-in's way to the scene (time, nodes, creation of
// objects and nodes, redraws, selection, layers). The host implements it and registers its
// implementation with SetCOREInterface; GetCOREInterface*() then answer it (null before).
//
// Interface7 .. Interface13 are the later generations of the same interface; the host's object
// implements the newest (IObjParam), so each GetCOREInterfaceN() is the same object seen as
// that generation. Published core interfaces (FPInterface) are registered by ID with
// RegisterCOREInterfaceByID and found with GetCOREInterface(Interface_ID).
//
// The command panel and the viewport's modes (defaults for a host without them: no panel, no pick
// modes, no dialogs):
//   - AddRollupPage makes a rollout of the command panel from a dialog template (custcont.h,
//     IRollupWindow::AppendRollup) and answers its dialog; DeleteRollupPage destroys it. Without a
//     panel the dialog is made on its own and destroyed by DeleteRollupPage.
//   - SetPickMode makes pc the viewport's mode: the mode in force first ends (its ExitMode), then
//     pc->EnterMode runs. ClearPickMode ends the current one. A click in a viewport goes to the
//     mode's HitTest, which asks PickNode for the node under the mouse that its filter accepts;
//     when it answers TRUE, Pick follows, with the hit node as the viewport's closest hit; Pick
//     answering TRUE ends the mode.
//   - DoHitByNameDialog shows the select-by-name dialog: the scene's nodes that hbncb's filter
//     accepts (all of them with useFilter FALSE); with useProc TRUE the chosen nodes go to
//     hbncb->proc, otherwise they are selected. FALSE when the user cancels.
//
// Time: TIME_TICKSPERSEC ticks per second; the frame rate is the host's (default 30 frames per
// second, 160 ticks per frame), set with SetFrameRate.
#pragma once

#include "interval.h"
#include "maxtypes.h"
#include "point2.h"
#include "strclass.h"
#include "tab.h"
#include "viewexp.h"
#include "windows.h"

class Animatable;
class FPInterface;
class IObjParam;
class IRollupWindow;
class ILayerManager;
class INode;
class Mtl;
class MtlBaseLib;
class Object;
class Renderer;
class ReferenceTarget;
class Texmap;

// The standard category of the command panel's rollouts.
constexpr int ROLLUP_CAT_STANDARD = 4000;

using INodeTab = Tab<INode*>;

// A node filter of a pick: TRUE for a node the pick may take.
class PickNodeCallback {
public:
    virtual ~PickNodeCallback() = default;
    virtual BOOL Filter(INode* node) = 0;
};

// A viewport pick mode (see the top of this file).
class PickModeCallback {
public:
    virtual ~PickModeCallback() = default;
    // TRUE when something pickable is under the mouse at m.
    virtual BOOL HitTest(IObjParam* ip, HWND hWnd, ViewExp* vpt, IPoint2 m, int flags) = 0;
    // Takes the hit (vpt->GetClosestHit()); TRUE ends the mode.
    virtual BOOL Pick(IObjParam* ip, ViewExp* vpt) = 0;
    virtual BOOL PickAnimatable(Animatable* /*anim*/) { return TRUE; }
    // A right click; TRUE ends the mode.
    virtual BOOL RightClick(IObjParam* /*ip*/, ViewExp* /*vpt*/) { return TRUE; }
    virtual void EnterMode(IObjParam* /*ip*/) {}
    virtual void ExitMode(IObjParam* /*ip*/) {}
    virtual HCURSOR GetDefCursor(IObjParam* /*ip*/) { return nullptr; }
    virtual HCURSOR GetHitCursor(IObjParam* /*ip*/) { return nullptr; }
    virtual PickNodeCallback* GetFilter() { return nullptr; }
    virtual BOOL AllowMultiSelect() { return FALSE; }
};

// The select-by-name dialog's questions to its caller.
class HitByNameDlgCallback {
public:
    virtual ~HitByNameDlgCallback() = default;
    virtual const MCHAR* dialogTitle() { return _M(""); }
    virtual const MCHAR* buttonText() { return _M(""); }
    virtual BOOL singleSelect() { return FALSE; }
    virtual BOOL useFilter() { return TRUE; }
    // Non-zero for a node the dialog lists.
    virtual int filter(INode* /*node*/) { return TRUE; }
    virtual BOOL useProc() { return TRUE; }
    // The chosen nodes, in the dialog's order.
    virtual void proc(INodeTab& /*nodeTab*/) {}
    virtual BOOL doCustomHilite() { return FALSE; }
    virtual BOOL doHilite(INode* /*node*/) { return FALSE; }
    virtual BOOL showHiddenAndFrozen() { return FALSE; }
};

// Redraw flags of RedrawViews.
constexpr DWORD REDRAW_BEGIN = 1u << 0;
constexpr DWORD REDRAW_INTERACTIVE = 1u << 1;
constexpr DWORD REDRAW_END = 1u << 2;
constexpr DWORD REDRAW_NORMAL = 1u << 3;

class Interface {
public:
    Interface() = default;
    Interface(const Interface&) = delete;
    Interface& operator=(const Interface&) = delete;
    virtual ~Interface() = default;

    // Time.
    virtual TimeValue GetTime() = 0;
    virtual void SetTime(TimeValue t, BOOL redraw = TRUE) = 0;
    virtual Interval GetAnimRange() = 0;

    // Nodes.
    virtual INode* GetRootNode() = 0;
    // Null when no node has that name / handle.
    virtual INode* GetINodeByName(const MCHAR* name) = 0;
    virtual INode* GetINodeByHandle(ULONG handle) = 0;
    // A new instance of the class, or null when the class is unknown. The caller owns it.
    virtual void* CreateInstance(SClass_ID superID, Class_ID classID) = 0;
    // A new node under the root holding obj, named by the object's InitNodeName made unique.
    virtual INode* CreateObjectNode(Object* obj) = 0;
    virtual void DeleteNode(INode* node, BOOL redraw = TRUE, BOOL overrideSlaves = FALSE) = 0;
    // Makes name unique among the scene's node names. A name no node has is left as it is; a
    // taken one loses its trailing digits and gets the smallest number, at least three digits
    // wide, that makes it free ("Rail" -> "Rail001", "Rail001" -> "Rail002" when both are taken).
    // Only nodes count: materials and layers keep their own names.
    virtual void MakeNameUnique(MSTR& name) = 0;

    // Selection.
    virtual int GetSelNodeCount() = 0;
    virtual INode* GetSelNode(int i) = 0;
    virtual void SelectNode(INode* node, int clearSel = 1) = 0;
    virtual void ClearNodeSelection(BOOL redraw = TRUE) = 0;

    // Viewports.
    virtual void RedrawViews(TimeValue t, DWORD vpFlags = REDRAW_NORMAL,
                             ReferenceTarget* change = nullptr) = 0;
    virtual void ForceCompleteRedraw(BOOL doDisabled = TRUE) = 0;
    virtual void DisableSceneRedraw() = 0;
    virtual void EnableSceneRedraw() = 0;
    virtual int IsSceneRedrawDisabled() = 0;
    // Shows txm of mtl in the viewports (subNum: the map's slot, -1 any).
    virtual void ActivateTexture(Texmap* txm, Mtl* mtl, int subNum = -1) = 0;
    virtual void DeActivateTexture(Texmap* txm, Mtl* mtl, int subNum = -1) = 0;

    // Status line prompts.
    virtual void PushPrompt(const MCHAR* msg) = 0;
    virtual void PopPrompt() = 0;
    virtual void ReplacePrompt(const MCHAR* msg) = 0;
    virtual void DisplayTempPrompt(const MCHAR* msg, int msec = 1000) = 0;

    // Progress of long work: the host's progress bar. ProgressStart opens it with a title and
    // runs fn(arg) at once when fn is given, as the host runs the work it is handed; a plug-in
    // that does its own work passes a function that returns at once, then reports with
    // ProgressUpdate (pct from 0 to 100) until ProgressEnd. GetCancel tells whether the user
    // asked to stop. A host without a bar (these defaults) shows nothing and never cancels.
    virtual BOOL ProgressStart(const MCHAR* /*title*/, BOOL /*dispBar*/, LPTHREAD_START_ROUTINE fn,
                               LPVOID arg) {
        if (fn) fn(arg);
        return TRUE;
    }
    virtual void ProgressUpdate(int /*pct*/, BOOL /*showPct*/ = TRUE,
                                const MCHAR* /*title*/ = nullptr) {}
    virtual void ProgressEnd() {}
    virtual BOOL GetCancel() { return FALSE; }
    virtual void SetCancel(BOOL /*sw*/) {}

    // The command panel (see the top of this file).
    virtual HWND AddRollupPage(HINSTANCE hInst, const MCHAR* dlgTemplate, DLGPROC dlgProc,
                               const MCHAR* title, LPARAM param = 0, DWORD flags = 0,
                               int category = ROLLUP_CAT_STANDARD);
    virtual void DeleteRollupPage(HWND hRollup);
    virtual IRollupWindow* GetCommandPanelRollup() { return nullptr; }

    // Pick modes and the select-by-name dialog (see the top of this file).
    virtual void SetPickMode(PickModeCallback* /*pc*/) {}
    virtual void ClearPickMode() {}
    virtual PickModeCallback* GetCurPickMode() { return nullptr; }
    // The node under the screen point pt that filt accepts (any node without filt); null when
    // none.
    virtual INode* PickNode(HWND /*hWnd*/, IPoint2 /*pt*/, PickNodeCallback* /*filt*/ = nullptr) {
        return nullptr;
    }
    virtual BOOL DoHitByNameDialog(HitByNameDlgCallback* /*hbncb*/ = nullptr) { return FALSE; }

    // Scene and window.
    virtual ILayerManager* GetLayerManager() = 0;
    // The scene's current renderer; null when there is none (and, with
    // createRendererIfItDoesntExist, when the host has no default renderer to make either).
    virtual Renderer* GetCurrentRenderer(bool /*createRendererIfItDoesntExist*/ = true) {
        return nullptr;
    }
    // The scene's material library; null for a host without one.
    virtual MtlBaseLib* GetSceneMtls() { return nullptr; }
    virtual HWND GetMAXHWnd() = 0;
    virtual const MSTR& GetCurFileName() = 0;
    virtual const MSTR& GetCurFilePath() = 0;
};

class Interface7 : public Interface {};
class Interface8 : public Interface7 {};
class Interface9 : public Interface8 {};
class Interface10 : public Interface9 {};
class Interface11 : public Interface10 {};
class Interface12 : public Interface11 {};
class Interface13 : public Interface12 {};

// The interface handed to objects while their parameters are edited (BeginEditParams).
class IObjParam : public Interface13 {};

// Registers the host's core interface (null unregisters).
void SetCOREInterface(Interface* ip);
Interface* GetCOREInterface();
// Null when the registered interface is not of that generation.
Interface7* GetCOREInterface7();
Interface8* GetCOREInterface8();
Interface9* GetCOREInterface9();
Interface10* GetCOREInterface10();
Interface11* GetCOREInterface11();
Interface12* GetCOREInterface12();
Interface13* GetCOREInterface13();

// Published core interfaces by ID. Registering null removes the entry.
void RegisterCOREInterfaceByID(Interface_ID id, FPInterface* fpi);
// Null when none is registered under id.
FPInterface* GetCOREInterface(Interface_ID id);

// Forwards to the core interface; null without one.
void* CreateInstance(SClass_ID superID, Class_ID classID);

int GetFrameRate();
int GetTicksPerFrame();
// FALSE (and no change) unless fps divides TIME_TICKSPERSEC.
BOOL SetFrameRate(int fps);
