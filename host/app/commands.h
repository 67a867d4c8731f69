// The subcommands of trellon-host, callable from tests with their own streams.
#pragma once

#include <iosfwd>
#include <string>

#include "module_loader.h"

namespace host {

// Loads the module and prints each class it publishes: name, category, super class, class ID and
// internal name. Returns the exit status (1 when the module cannot be loaded).
int RunClasses(const std::string& modulePath, std::ostream& out, std::ostream& err);

}  // namespace host
