#pragma once
// The one loop that menu tracking, dialogs, message boxes and drags run: it takes and dispatches
// the calling thread's messages until a condition holds. GetMessage serves the sends of other
// threads while it waits, so a loader that sends records keeps being answered inside every loop.

#include <functional>

#include "platform/window/WindowTypes.h"

class ModalLoop {
public:
    enum class Result { Done, Quit };

    // Runs until `done` returns true (checked before each wait and after each message). `filter`
    // sees each message first and returns true when it consumed it (dialog keys, menu keys);
    // the rest are translated and dispatched. A WM_QUIT taken here is posted again, so that the
    // outer loop ends too, and ends this loop with Quit.
    static Result Run(const std::function<bool()>& done, const std::function<bool(MSG&)>& filter = {});

    // Wakes the calling thread's loop so that it checks its condition again: for a condition that
    // a sent message (which GetMessage answers without returning) made true.
    static void Wake();
};
