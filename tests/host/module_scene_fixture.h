// A fixture for tests that run the built module in a host scene: the module is loaded once per
// suite, through its exports as the host does, and every test gets a fresh scene that knows its
// class. The scene goes before the module: every object the module made must be gone when the
// module unloads.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "module_loader.h"
#include "plugapi.h"
#include "scene.h"

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
        scene = std::make_unique<host::Scene>();
        scene->RegisterClass(cd);
    }
    void TearDown() override { scene.reset(); }

    static inline host::PluginModule* module_ = nullptr;
    ClassDesc* cd = nullptr;
    std::unique_ptr<host::Scene> scene;
};
