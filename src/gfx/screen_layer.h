// A picture kept between frames: an offscreen RGBA layer the size of the
// window. A pass draws into it (with drawToLayer, see draw_capture.h: the
// colour premultiplied, alpha the coverage) only where its picture changed,
// and every frame the layer goes over the screen where something was drawn.
// Needs framebuffer objects; without them LayerReady says no and the caller
// draws directly.
#pragma once

// Makes or keeps the layer at width x height. 1 when it is ready; *fresh is
// set when it was made just now (cleared: nothing of an earlier picture kept).
int LayerReady(int width, int height, bool* fresh);
// Drawing goes into the layer, the rectangle (x, y, w, h) cleared first,
// until LayerEnd. GL state other than the target is left as it was.
void LayerBegin(int x, int y, int w, int h);
void LayerEnd();
// Puts the layer over the current target in `count` rectangles (x, y, w, h
// in layer pixels, which must not overlap), in a pixel projection of the
// layer's size. GL state is left as it was.
void LayerComposite(const int* rects, int count);
// Frees the layer (before the GL context goes).
void LayerRelease();
