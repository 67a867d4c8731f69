// Script evaluation. The host evaluates script text and answers through the handler it
// registers; without a handler nothing can be evaluated and the call returns FALSE, leaving fpv
// untouched.
#pragma once

#include <functional>

#include "../maxtypes.h"
#include "../strclass.h"

class FPValue;

// Evaluates s. TRUE on success, with the result in *fpv when fpv is given. quietErrors keeps
// errors from being shown (logQuietErrors still logs them).
BOOL ExecuteMAXScriptScript(const MCHAR* s, BOOL quietErrors = FALSE, FPValue* fpv = nullptr,
                            BOOL logQuietErrors = TRUE);

// The host's evaluator (stand-in extension); an empty function unregisters.
using MAXScriptHandler =
    std::function<BOOL(const MCHAR* s, BOOL quietErrors, FPValue* fpv, BOOL logQuietErrors)>;
void SetMAXScriptHandler(MAXScriptHandler handler);
