#pragma once

#include "ui/glide_curve.h"

// What shapes the glide of one notch up or down: the set's total distance (the multiple),
// share per step (percent) and interval (ms) for that way, its smoothing switch, and the
// display's refresh rate when the display's frames pace the glide (0 when they do not).
struct GlideShape {
    int multiple = 10;
    int percent = 4;
    int intervalMs = 5;
    bool up = true;
    bool smoothing = true;
    double pacedHz = 0.0;
};

// The glide that shape makes, step by step as the engine makes it: the same animation value
// and the same functions the tick and the paced schedule call, with the values read as the
// hook and the tick read them (a percentage below 0 as 0, the interval as the timer takes
// it). The first step goes with the notch; later ones every interval, or at every frame of a
// display of 20 to 500 Hz when paced. The work is bounded whatever the values: the drawing
// stops at kGlideCutMs, and a paced glide too long to follow frame by frame takes the ticks'
// length, which it ends within two frames of.
GlideCurve glideCurve(const GlideShape &shape);
