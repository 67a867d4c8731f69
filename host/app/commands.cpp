#include "commands.h"

#include <iomanip>
#include <sstream>
#include <ostream>

#include "plugapi.h"
#include "strclass.h"

namespace host {
namespace {

std::string Utf8(const MCHAR* s) { return s ? ToUTF8(s) : std::string(); }

std::string Hex8(ULONG v) {
    std::ostringstream os;
    os << "0x" << std::hex << std::uppercase << std::setw(8) << std::setfill('0') << v;
    return os.str();
}

}  // namespace

int RunClasses(const std::string& modulePath, std::ostream& out, std::ostream& err) {
    std::string error;
    auto module = PluginModule::Load(modulePath, error);
    if (!module) {
        err << "trellon-host: " << error << '\n';
        return 1;
    }
    out << "module " << module->Path() << '\n'
        << "  description: " << ToUTF8(module->Description()) << '\n'
        << "  SDK version: " << Hex8(module->Version()) << '\n'
        << "  classes:     " << module->NumClasses() << '\n';
    for (int i = 0; i < module->NumClasses(); ++i) {
        ClassDesc* cd = module->Class(i);
        if (!cd) {
            err << "trellon-host: " << modulePath << ": LibClassDesc(" << i << ") is null\n";
            return 1;
        }
        const Class_ID id = cd->ClassID();
        out << "class " << i << '\n'
            << "  name:          " << Utf8(cd->ClassName()) << '\n'
            << "  category:      " << Utf8(cd->Category()) << '\n'
            << "  super class:   0x" << std::hex << std::uppercase << cd->SuperClassID()
            << std::dec << '\n'
            << "  class ID:      Class_ID(" << Hex8(id.PartA()) << ", " << Hex8(id.PartB()) << ")\n"
            << "  internal name: " << Utf8(cd->InternalName()) << '\n'
            << "  public:        " << (cd->IsPublic() ? "yes" : "no") << '\n';
    }
    return 0;
}

}  // namespace host
