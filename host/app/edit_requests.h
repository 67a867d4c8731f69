// What the editor's requests must be: JSON objects of a bounded size, made against the current
// change count, naming plain files in the scene's folder. Each check that fails leaves the
// refusal the page shows.
#pragma once

#include <nlohmann/json.hpp>

#include <filesystem>
#include <string>
#include <vector>

#include "edit_session.h"

namespace host::edit {

EditReply Reply(int status, const nlohmann::ordered_json& body);
EditReply Refuse(int status, const std::string& message);

// The request body as a JSON object, or a refusal.
bool ParseBody(const std::string& body, nlohmann::ordered_json& doc, EditReply& refusal);

// The change count a request was made against, or a refusal (missing, not a whole number, or
// not the current count).
bool CheckCount(const nlohmann::ordered_json& count, int current, EditReply& refusal);

// A save or export request: {"count": N, "file": NAME}, "file" optional, made against the
// current change count; or a refusal.
bool ParseFileRequest(const std::string& body, int current, nlohmann::ordered_json& doc,
                      EditReply& refusal);

// A file name for the scene's folder: a plain name (no folder, not hidden, printable), ending in
// one of `endings`. The caller joins it to the folder; nothing can climb out of it.
bool PlainName(const std::string& name, const std::vector<std::string>& endings,
               std::string& error);

// A path in the folder that is not a link to somewhere else.
bool WritablePath(const std::filesystem::path& path, std::string& error);

}  // namespace host::edit
