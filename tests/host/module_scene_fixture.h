// A fixture for tests that run the built module in a host scene: the module is loaded once per
// suite, through its exports as the host does, and every test gets a fresh scene that knows its
// class. The scene goes before the module: every object the module made must be gone when the
// module unloads. Scene files set the master unit; it is put back after each test.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "iparamb2.h"
#include "module_loader.h"
#include "plugapi.h"
#include "scene.h"
#include "support/keep_units.h"

class ModuleSceneTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        std::string error;
        module_ = host::PluginModule::Load(host::DefaultModulePath(), error).release();
        ASSERT_NE(module_, nullptr) << error;
    }
    static void TearDownTestSuite() {
        delete module_;
        module_ = nullptr;
    }
    void SetUp() override {
        ASSERT_NE(module_, nullptr);
        cd = module_->Class(0);
        NewScene();
    }
    void TearDown() override { scene.reset(); }

    // A fresh scene that knows the module's class (the old one goes first).
    void NewScene() {
        scene.reset();
        scene = std::make_unique<host::Scene>();
        scene->RegisterClass(cd);
    }
    // The parameter block of the object on the node named `node`, and a parameter's ID by name.
    IParamBlock2* Block(const wchar_t* node) {
        INode* n = scene->GetINodeByName(node);
        return n && n->GetObjectRef() ? n->GetObjectRef()->GetParamBlock(0) : nullptr;
    }
    static ParamID Id(IParamBlock2* pb, const wchar_t* name) {
        return pb->GetDesc()->IndextoID(pb->GetDesc()->NameToIndex(name));
    }

    static inline host::PluginModule* module_ = nullptr;
    support::KeepUnits units_;
    ClassDesc* cd = nullptr;
    std::unique_ptr<host::Scene> scene;
};
