#pragma once

// The toolkit's high-DPI settings of the program, made before the application object exists:
// scaled to the screen, fractional scales passed through unrounded, no high-DPI pixmaps.
void setUpHighDpi();
