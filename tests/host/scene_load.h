// Loading scene text in tests that expect a refusal: the message, or "" when the text loaded.
#pragma once

#include <string>

#include "scene.h"
#include "scene_reader.h"

inline std::string LoadError(const std::string& text, const std::string& file, host::Scene& scene) {
    try {
        host::LoadSceneText(text, file, scene);
    } catch (const host::SceneFileError& e) {
        return e.what();
    }
    return "";
}
