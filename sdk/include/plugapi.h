// ClassDesc: what the host knows of a plug-in class before any object of it exists.
//
// A module hands the host one class descriptor per class (LibClassDesc). The host reads its
// identity (ClassID, SuperClassID, ClassName, Category, InternalName), asks it to Create objects
// and finds the class's published interfaces and parameter block descriptors through it.
//
// Defaults are the SDK's: OkToCreate TRUE, BeginCreate/EndCreate 0 (the host's own creation
// handling), InitialRollupPageState 0x7FFFFFFF (every rollup page in its default state), no
// internal name, no module handle, UseOnlyInternalNameForMAXScriptExposure false, no parameter
// block descriptors (ClassDesc2 keeps a list). The interface list is kept here: AddInterface
// appends (an interface added twice is listed twice, and found at its first place);
// GetInterface(Interface_ID) and GetInterface(name) return the first match or null.
#pragma once

#include "ifnpub.h"
#include "maxtypes.h"
#include "paramtype.h"
#include "strclass.h"
#include "superclassids.h"
#include "tab.h"
#include "windows.h"

class Interface;
class ParamBlockDesc2;

using BlockID = short;

class ClassDesc {
public:
    ClassDesc() = default;
    ClassDesc(const ClassDesc&) = delete;
    ClassDesc& operator=(const ClassDesc&) = delete;
    virtual ~ClassDesc() = default;

    // Identity.
    virtual int IsPublic() = 0;
    virtual void* Create(BOOL loading = FALSE) = 0;
    virtual const MCHAR* ClassName() = 0;
    virtual const MCHAR* NonLocalizedClassName() { return ClassName(); }
    virtual SClass_ID SuperClassID() = 0;
    virtual Class_ID ClassID() = 0;
    virtual const MCHAR* Category() = 0;
    virtual const MCHAR* InternalName() { return nullptr; }
    virtual HINSTANCE HInstance() { return nullptr; }
    virtual bool UseOnlyInternalNameForMAXScriptExposure() { return false; }

    // Creation.
    virtual BOOL OkToCreate(Interface* /*i*/) { return TRUE; }
    virtual int BeginCreate(Interface* /*i*/) { return 0; }
    virtual int EndCreate(Interface* /*i*/) { return 0; }
    virtual BOOL HasClassParams() { return FALSE; }
    virtual void EditClassParams(HWND /*hParent*/) {}
    virtual void ResetClassParams(BOOL /*fileReset*/) {}
    virtual DWORD InitialRollupPageState() { return 0x7fffffff; }
    virtual int NumActionTables() { return 0; }
    virtual int NumShortcutTables() { return 0; }

    // The module's string-table entry id (through HInstance), or null when there is none.
    virtual const MCHAR* GetRsrcString(INT_PTR id);

    // Parameter block descriptors: none here; ClassDesc2 keeps them.
    virtual int NumParamBlockDescs() { return 0; }
    virtual ParamBlockDesc2* GetParamBlockDesc(int /*i*/) { return nullptr; }
    virtual ParamBlockDesc2* GetParamBlockDescByID(BlockID /*id*/) { return nullptr; }
    virtual void AddParamBlockDesc(ParamBlockDesc2* /*pbd*/) {}

    // Published interfaces.
    virtual void AddInterface(FPInterface* fpi);
    virtual void ClearInterfaces() { interfaces_.ZeroCount(); }
    virtual int NumInterfaces() { return interfaces_.Count(); }
    // The interface at position i, or null outside 0..NumInterfaces()-1.
    virtual FPInterface* GetInterfaceAt(int i);
    virtual FPInterface* GetInterface(Interface_ID id);
    // By the descriptor's internal name, case-insensitive; an empty name finds nothing.
    virtual FPInterface* GetInterface(const MCHAR* name);

private:
    Tab<FPInterface*> interfaces_;
};
