// The host redraws rollouts from its message loop. A parameter map invalidated while theHold
// puts a step back (RestoreOrRedoing) waits, so its dialog procedure never reads a block half
// restored (one parallel table back at its old length, the next not yet); theHold calls this
// once the whole step is back.
#pragma once

// Brings every open map invalidated during the restore up to date.
void UpdateDeferredParamMaps();
