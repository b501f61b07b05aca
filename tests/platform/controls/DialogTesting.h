#pragma once
// Dialog tests: steps run inside whatever modal loop the thread is in (a dialog's, a message
// box's), one at a thread-timer tick. Timers come after input in a queue, so a step runs once
// the input the previous step injected has been taken. A step returns false to be tried again at
// the next tick: that is how a test waits for a window to appear.

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "platform/controls/Dialog.h"
#include "tests/platform/controls/ControlTesting.h"

class DialogScript {
public:
    using Step = std::function<bool()>;

    // Starts running `steps` at the thread's next ticks. Past `limit` the test fails and every
    // dialog that becomes active is ended, so that a test that went wrong does not hang.
    explicit DialogScript(std::vector<Step> steps, std::chrono::milliseconds limit = std::chrono::seconds(30));
    ~DialogScript();
    DialogScript(const DialogScript&) = delete;
    DialogScript& operator=(const DialogScript&) = delete;

    bool Finished() const { return next_ >= steps_.size(); }

private:
    static void Tick(HWND, UINT, std::uintptr_t, DWORD);

    std::vector<Step> steps_;
    std::size_t next_ = 0;
    std::chrono::steady_clock::time_point deadline_;
    std::uintptr_t timer_ = 0;
    bool expired_ = false;
};

class DialogTest : public ControlTest {
protected:
    // The active window when it is a dialog, else null.
    static HWND ActiveDialog();
    static std::string TextOf(HWND hwnd);
    static std::string ItemText(HWND dialog, int id) { return TextOf(GetDlgItem(dialog, id)); }

    // Steps that wait for a dialog to be active, then act.
    static DialogScript::Step WhenDialog(std::function<void(HWND)> act);
    // A step that types keys into the active dialog: a key, or a chord with Alt or Shift.
    DialogScript::Step Keys(std::vector<int> keys, int modifier = 0);
    DialogScript::Step Typed(std::string text);
};
