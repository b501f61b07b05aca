#pragma once
// The window manager's lock. It guards every window's fields and the manager's own state (the
// tree, the classes, the threads, focus, capture, the pointer, the driver). It is never held
// while a window procedure, a hook, a timer procedure or a display driver runs, and never while
// a thread waits; a thread queue's lock may be taken under it, never the other way round.

#include "platform/window/Mutex.h"

inline constinit Mutex gWindowLock;
