// Interface: the host's core interface, the plug-in's way to the scene (time, nodes, creation of
// objects and nodes, redraws, selection, layers). The host implements it and registers its
// implementation with SetCOREInterface; GetCOREInterface*() then answer it (null before).
//
// Interface7 .. Interface13 are the later generations of the same interface; the host's object
// implements the newest (IObjParam), so each GetCOREInterfaceN() is the same object seen as
// that generation. Published core interfaces (FPInterface) are registered by ID with
// RegisterCOREInterfaceByID and found with GetCOREInterface(Interface_ID).
//
// Time: TIME_TICKSPERSEC ticks per second; the frame rate is the host's (default 30 frames per
// second, 160 ticks per frame), set with SetFrameRate.
#pragma once

#include "interval.h"
#include "maxtypes.h"
#include "strclass.h"
#include "viewexp.h"
#include "windows.h"

class Animatable;
class FPInterface;
class ILayerManager;
class INode;
class Mtl;
class MtlBaseLib;
class Object;
class Renderer;
class ReferenceTarget;
class Texmap;

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
