#pragma once

#include <QPointF>
#include <QVector>

// One notch's glide as the value editor draws it: the distance delivered over time. Made by
// the shell from the engine's own step arithmetic; the interface only draws it.
struct GlideCurve {
    enum class Kind {
        Glides,       // the notch glides along `points`
        NoDistance,   // a total distance of 0: the notch passes through as it is
        SmoothingOff, // smoothing is off for the set: the notch passes through as one notch
    };
    Kind kind = Kind::Glides;
    // (ms after the notch, lines moved so far) after each step, from the first step on; the
    // lines count along the notch, so a reversed glide goes below 0. When `cut`, the points
    // stop at the first one past kGlideCutMs and lengthMs still tells the whole glide.
    QVector<QPointF> points;
    double lengthMs = 0.0; // when the last step goes
    double lines = 0.0;    // lines moved in all
    bool cut = false;
};

// Glides longer than this are drawn only this far.
constexpr double kGlideCutMs = 20000.0;
