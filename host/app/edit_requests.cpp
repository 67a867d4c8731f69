#include "edit_requests.h"

#include <cctype>

namespace host::edit {

namespace fs = std::filesystem;
using json = nlohmann::ordered_json;

EditReply Reply(int status, const json& body) { return {status, "application/json", body.dump()}; }

EditReply Refuse(int status, const std::string& message) {
    return Reply(status, json{{"error", message}});
}

bool ParseBody(const std::string& body, json& doc, EditReply& refusal) {
    if (body.size() > EditSession::kMaxJsonBytes) {
        refusal = Refuse(413, "the request is larger than " +
                                  std::to_string(EditSession::kMaxJsonBytes) + " bytes");
        return false;
    }
    try {
        doc = json::parse(body.empty() ? std::string("{}") : body);
    } catch (const json::exception& e) {
        refusal = Refuse(400, std::string("the request is not valid JSON (") + e.what() + ")");
        return false;
    }
    if (!doc.is_object()) {
        refusal = Refuse(400, "the request must be a JSON object");
        return false;
    }
    return true;
}

bool CheckCount(const json& count, int current, EditReply& refusal) {
    if (!count.is_number_integer()) {
        refusal = Refuse(400,
                         "the request must give \"count\", the change count it was made "
                         "against, as a whole number");
        return false;
    }
    if (count.get<long long>() != current) {
        refusal = Refuse(409, "the scene has changed since this request was made (change " +
                                  count.dump() + ", now " + std::to_string(current) +
                                  "): reload and try again");
        return false;
    }
    return true;
}

bool ParseFileRequest(const std::string& body, int current, json& doc, EditReply& refusal) {
    if (!ParseBody(body, doc, refusal)) return false;
    for (const auto& [key, value] : doc.items()) {
        if (key != "count" && key != "file") {
            refusal = Refuse(400, "unknown key \"" + key + "\"");
            return false;
        }
    }
    return CheckCount(doc.contains("count") ? doc["count"] : json(), current, refusal);
}

bool PlainName(const std::string& name, const std::vector<std::string>& endings,
               std::string& error) {
    if (name.empty() || name.size() > 200) {
        error = "a file name must have 1 to 200 characters";
        return false;
    }
    for (unsigned char c : name) {
        if (c < 0x20 || c == 0x7f || c == '/' || c == '\\' || c == ':') {
            error = "\"" + name +
                    "\" is not a plain file name: files are read and written in "
                    "the scene's folder only";
            return false;
        }
    }
    if (name.front() == '.') {
        error = "\"" + name + "\" is not a plain file name (it starts with a dot)";
        return false;
    }
    std::string lower = name;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const std::string& e : endings) {
        if (lower.size() > e.size() && lower.compare(lower.size() - e.size(), e.size(), e) == 0)
            return true;
    }
    std::string list;
    for (const std::string& e : endings) list += (list.empty() ? "" : ", ") + e;
    error = "\"" + name + "\" does not end in " + list;
    return false;
}

bool WritablePath(const fs::path& path, std::string& error) {
    std::error_code ec;
    if (fs::is_symlink(path, ec)) {
        error = path.filename().string() + " is a link; the editor writes only plain files";
        return false;
    }
    if (fs::exists(path, ec) && !fs::is_regular_file(path, ec)) {
        error = path.filename().string() + " is not a plain file";
        return false;
    }
    return true;
}

}  // namespace host::edit
