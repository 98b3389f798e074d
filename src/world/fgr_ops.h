// Internals shared by the world's own files: kind initialisation, the
// default life step and the few calls into path movement and the editor.
#pragma once

#include "world/fgr.h"

// Runs the initialiser of kind on a freshly reset slot. 0 for an
// unrecognised code.
int FgrKindInit(Fgr* f, int kind);
// Gives a figure its kind's operations as installed now, nothing else (a
// restored figure keeps every saved word and pool record). Null operations
// for an unrecognised kind.
void FgrKindInstallOps(Fgr* f);
// After the position is set: kinds with a footprint take the cell under them.
void FgrKindPlaced(Fgr* f);

// Counts dyingTimer of dead figures down and removes them at 0.
void FgrDefaultLifeStep(Fgr* f);

// 1 while the location editor is open (the update pass stops early).
int FgrEditorOpen();
