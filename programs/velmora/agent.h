#pragma once
// The agent itself: the X11 and Qt services assembled into a Platform, the application delegate
// started on it, and the event loop run until a signal or the loss of the display ends it.

namespace velmora::program {

// Exit status: 0 after SIGINT or SIGTERM and when another agent already runs, 1 when the
// display was lost, 2 when it cannot be reached.
int runAgent(int argc, char** argv);

} // namespace velmora::program
