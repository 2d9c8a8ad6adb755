#pragma once

// Puts every class-static member of the engine back to its state at process start, so that
// one test's hook, window, animation or refused window cannot leak into the next.
void resetEngineState();
