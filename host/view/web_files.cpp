#include "web_files.h"

#include <filesystem>
#include <fstream>

namespace host {
namespace {

namespace fs = std::filesystem;

// A manifest entry: a relative path of plain names, nothing that climbs out of the folder.
bool PlainRelativePath(const std::string& p) {
    if (p.empty() || p.front() == '/' || p.find('\\') != std::string::npos) return false;
    for (const auto& part : fs::path(p)) {
        const std::string s = part.string();
        if (s.empty() || s == "." || s == "..") return false;
    }
    return true;
}

}  // namespace

std::string ContentType(const std::string& path) {
    const std::string ext = fs::path(path).extension().string();
    if (ext == ".html") return "text/html; charset=utf-8";
    if (ext == ".js") return "text/javascript; charset=utf-8";
    if (ext == ".css") return "text/css; charset=utf-8";
    if (ext == ".glb") return "model/gltf-binary";
    if (ext == ".png") return "image/png";
    if (ext.empty() || ext == ".txt") return "text/plain; charset=utf-8";
    return "application/octet-stream";
}

bool ReadWebFiles(const std::string& web, const std::string& page,
                  std::map<std::string, WebFile>& files, std::string& error) {
    std::ifstream manifest(fs::path(web) / "manifest.txt");
    if (!manifest) {
        error = "the viewer's files are not in " + web +
                " (no manifest.txt): build the trellon_viewer target, or give --web";
        return false;
    }
    std::string line;
    while (std::getline(manifest, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        const fs::path file = fs::path(web) / line;
        if (!PlainRelativePath(line) || !fs::is_regular_file(file)) {
            error = file.string() + ": a viewer file listed in manifest.txt is missing";
            return false;
        }
        files["/" + line] = WebFile{file.string(), ContentType(line)};
    }
    const auto front = files.find("/" + page);
    if (front == files.end()) {
        error = web + "/manifest.txt does not list " + page;
        return false;
    }
    files["/"] = front->second;
    return true;
}

}  // namespace host
