#pragma once

#include <QString>

// One application that has a window on screen, as the chooser offers it.
struct RunningApplication {
    QString name;      // the executable's file name, the name its set goes by
    QString title;     // the title of one of its windows
    QString imagePath; // the executable's full path, for its icon; may be empty
    bool elevated = false;   // runs with higher rights than ours: its windows keep their own wheel
    bool hasProfile = false; // a set of this name exists already
};
