// Walking: replanning with hysteresis, following a path segment by segment,
// cell claims and stepping aside, and the periodic passability rebuild.
//
// Entries for the rest of the game:
//  - PathWorldStep(): once per frame from the world update, before the
//    figure pass; rebuilds the layers and replans every figure when its
//    800 ms timer runs out (and in the first frame).
//  - PathStepFigure(f): from the fnUpdate of every walking kind (hero,
//    monsters, NPCs, bunker units): plans a fresh move order at once, then
//    advances the figure by one frame.
//  - ReplanPath(f): behaviours that need a plan now (order code).
//  - FgrClaimCell(f, k): the move order to the cell a figure stands on;
//    FgrStepAside and FgrFollowPath are the names the figure code uses.
#pragma once

struct Fgr;

inline constexpr int kPathRebuildMs = 800;
inline constexpr int kReplanMinLength = 20;  // shorter paths are walked to the end
inline constexpr int kReplanMinNext = 5;     // steps walked before a replan
inline constexpr float kPathCellSize = 10.0f;

extern int pathRebuildTimer;  // ms to the next rebuild; starts at 1
// Target cell of a failed plan per slot: the per-frame step does not search
// for it again until the next rebuild or a new order (0 = none).
extern int pathFailedTarget[];

// Speed factor of a walker for this frame (1 when the hook is null). The
// rules that slow or speed figures (water, potions, the demon's gaze)
// install it; it multiplies the figure's speed word.
using PathSpeedFn = float (*)(const Fgr* f);
extern PathSpeedFn pathSpeedFactor;

// Runs after a figure has arrived and stopped (traps, finds).
using PathArriveFn = void (*)(Fgr* f);
extern PathArriveFn pathArriveHook;

// Clears and derives the five layers from the terrain and the footprints of
// active figures, then replans every figure.
void PathRebuild();
void PathWorldStep();

// Plans from the figure's position to the centre of targPathKle (searcher
// 0). Nothing without moveMode or target; a walking figure keeps its path
// unless it is at least 20 steps long and 5 steps are behind it.
void ReplanPath(Fgr* f);

// Advances a figure with onPath 1 along its path by one frame (frameDeltaF
// times its speed). Arriving stops it and claims the cell; at the end of
// the 40 stored steps of a longer path it plans on from there.
void FollowPath(Fgr* f, float cellSize = kPathCellSize);
// The same with the world's 10-unit cells (the figure code's name for it).
void FgrFollowPath(Fgr* f);

// What a walking figure's update calls each frame: a figure with a target
// but no path plans once (a failed plan is retried by the next rebuild or
// a new order), then FollowPath.
void PathStepFigure(Fgr* f);

// Ends the walk and claims the cell under the figure.
void StopPath(Fgr* f);

// Claims cell k (k < 0: the cell under the figure). 0 when claimed or
// already held (or no interior cell), 1 when another figure holds it; the
// figure then steps aside.
int FgrClaimCell(Fgr* f, int k = -1);

// Picks one of the eight neighbours of k at random as the new target.
void FgrStepAside(Fgr* f, int k);

// Layers, planner, timer, hooks back to their start values.
void PathReset();
