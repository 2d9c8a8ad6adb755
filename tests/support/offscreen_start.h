#pragma once

// Before a test program's application object: the offscreen platform unless another is set,
// at Windows' 96 DPI for 100 % (the offscreen screen reports 100), with the program's own
// high-DPI settings, so that QT_SCALE_FACTOR draws exactly as a screen at that scale does.
void startOffscreenLikeTheProgram();
