// The dialog procedures of the object's rollouts, one static instance each. Each fills its
// rollout's own controls when it opens and again on every Update (the object invalidates its
// rollouts after every edit, an undo included), and turns the user's commands into the set-up
// operations (setup_ops.h) and parameter writes, each one undo step.
#pragma once

#include "iparamm2.h"

namespace trellon::ui {

ParamMap2UserDlgProc* TitleDlgProc();
ParamMap2UserDlgProc* SplineDlgProc();
ParamMap2UserDlgProc* ObjectDlgProc();
ParamMap2UserDlgProc* SweepDlgProc();
ParamMap2UserDlgProc* TextureDlgProc();
ParamMap2UserDlgProc* ExportDlgProc();
ParamMap2UserDlgProc* AboutDlgProc();

}  // namespace trellon::ui
