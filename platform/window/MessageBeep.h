#pragma once
// The system's warning sound. Nothing here plays sounds: a beep is counted, so that tests can
// tell that one was asked for.

#include "platform/window/WindowTypes.h"

BOOL MessageBeep(UINT type);
// Linux extension: the beeps asked for so far in this process.
long MessageBeepCount();
