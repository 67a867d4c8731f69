// The page's files, which the viewer and the editor serve: those the viewer folder's
// manifest.txt lists (the build writes it), by their URL path, and nothing else on disk.
#pragma once

#include <map>
#include <string>

namespace host {

struct WebFile {
    std::string path;  // on disk
    std::string type;  // its Content-Type
};

// The Content-Type of a served file, by its extension.
std::string ContentType(const std::string& path);

// Reads `web`/manifest.txt: every listed file as "/NAME", and `page` (which it must list) as "/"
// too. False with a message when the manifest is not there, lists a path that climbs out of the
// folder or a file that is missing, or does not list the page.
bool ReadWebFiles(const std::string& web, const std::string& page,
                  std::map<std::string, WebFile>& files, std::string& error);

}  // namespace host
