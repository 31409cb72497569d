// The screen a box or dialog about to open belongs on.
#pragma once

class QScreen;

namespace foliotally {

// The active window's screen, else the primary screen; null only when there is no screen
// at all.
QScreen* ActiveScreen();

}  // namespace foliotally
