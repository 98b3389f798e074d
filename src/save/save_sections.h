// The sections of the save body: one per subsystem whose state decides
// later frames, each with its writer and its reader. A reader checks every
// value it takes and returns false on the first bad one; it may leave its
// subsystem half written (the loader then restores the state it had).
#pragma once

#include <span>

#include "save/save_io.h"

struct SaveSection {
    char tag[5];
    void (*write)(SaveOut& out);
    bool (*read)(SaveIn& in);
};

// World side: grid, pools, figures, spawn links, side resources, paths,
// camera, map interaction, clock and random generator (save_world.cpp).
std::span<const SaveSection> WorldSaveSections();
// Game rules: one section per rule-state record (save_rules.cpp).
std::span<const SaveSection> RuleSaveSections();

// After all sections were read: the figures' operations from their kinds,
// slot numbers, the location's pictures and overview.
void SaveAfterWorldLoad();
