// What the program reads from its environment to choose how it starts.
#pragma once

namespace orv {

// A display the window can open on: DISPLAY or WAYLAND_DISPLAY is set and not empty.
bool HasDisplay();
// ORVANTIS_HEADLESS=1: an automatic run without a window, even with a display.
bool HeadlessRequested();
// How many threads a run may use: ORVANTIS_THREADS when it is a whole number from 1
// up (1: everything on the calling thread), otherwise the machine's processor count.
int WorkerThreadCount();

}  // namespace orv
