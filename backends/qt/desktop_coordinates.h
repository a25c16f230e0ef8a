#pragma once
// The program's global frames have their origin at the bottom left of the whole desktop (all
// screens together); Qt's at the top left. This is the line between them.

namespace velmora::qt {

// The y of the desktop's bottom edge in Qt's coordinates; 0 without a screen.
int desktopBottom();

} // namespace velmora::qt
