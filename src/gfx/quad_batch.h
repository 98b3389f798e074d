// Textured quads gathered into one glBegin/glEnd per run of the same texture
// and blend mode. Software GL pays for every draw call and state change far
// more than for a quad's vertices, so the map's sprites and each text string
// go through here instead of one glBegin/glEnd (and one bind) per quad.
//
// A run stays open between calls: whoever issues other GL commands (state
// changes, matrices, lists) ends the run first with QuadBatchEnd.
#pragma once

#include <cstdint>

// Forgets the bound texture and blend mode: the next QuadBatchUse sets both.
void QuadBatchReset();
// Ends the open run if the texture or blend mode (draw2d's codes) differ from
// the current run's and sets them; 1 when it bound a new texture (the caller
// may set its parameters before the next quad). Texturing must be on.
int QuadBatchUse(std::uint32_t texture, int blendMode);
// Colour of the following vertices (allowed inside the run).
void QuadBatchColour(float r, float g, float b, float a);
// A rectangle from (x, y) to (x + w, y + h) with texture s0..s1, t0..t1.
void QuadBatchRect(float x, float y, float w, float h, float s0, float t0, float s1, float t1);
// Closes the open run, if any.
void QuadBatchEnd();
