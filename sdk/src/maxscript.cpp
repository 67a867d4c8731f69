// Script evaluation forwarded to the host's evaluator.
#include "maxscript/maxscript.h"

#include <utility>

namespace {

MAXScriptHandler& Handler() {
    static MAXScriptHandler h;
    return h;
}

}  // namespace

void SetMAXScriptHandler(MAXScriptHandler handler) { Handler() = std::move(handler); }

BOOL ExecuteMAXScriptScript(const MCHAR* s, BOOL quietErrors, FPValue* fpv, BOOL logQuietErrors) {
    if (!s || !Handler()) return FALSE;
    return Handler()(s, quietErrors, fpv, logQuietErrors) ? TRUE : FALSE;
}
