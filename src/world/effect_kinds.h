// Short-lived figures: effects (kind 3: flashes, shots, the order marker)
// and markers (kind 5). They count their period down and remove themselves.
#pragma once

struct Fgr;

void EffectUpdate(Fgr* f);
// Share of the figure's life still left, 0..1 (drawing fades by it).
float EffectLifeLeft(const Fgr* f);
// Installs the update of kinds 3 and 5 with the given draw operations.
void InstallEffectKinds(void (*drawEffect)(Fgr*), void (*drawMarker)(Fgr*));
