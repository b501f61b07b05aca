#include "tests/platform/controls/DialogTesting.h"

#include <strings.h>

namespace {

thread_local DialogScript* tScript = nullptr;

}  // namespace

DialogScript::DialogScript(std::vector<Step> steps, std::chrono::milliseconds limit)
    : steps_(std::move(steps)), deadline_(std::chrono::steady_clock::now() + limit) {
    tScript = this;
    timer_ = SetTimer(nullptr, 0, 10, Tick);
}

DialogScript::~DialogScript() {
    KillTimer(nullptr, timer_);
    if (tScript == this) tScript = nullptr;
}

void DialogScript::Tick(HWND, UINT, std::uintptr_t, DWORD) {
    DialogScript* self = tScript;
    if (!self) return;
    if (!self->expired_ && std::chrono::steady_clock::now() > self->deadline_) {
        self->expired_ = true;
        ADD_FAILURE() << "the dialog script stopped at step " << self->next_ + 1 << " of " << self->steps_.size();
    }
    if (self->expired_) {
        if (HWND active = GetActiveWindow(); active && Dialog::Of(active)) EndDialog(active, 0);
        return;
    }
    if (self->Finished()) return;
    // The index moves on before the step runs, so that a step that waits in a loop of its own
    // lets the next steps run in it.
    const std::size_t at = self->next_++;
    if (!self->steps_[at]() && self->next_ == at + 1) self->next_ = at;
}

HWND DialogTest::ActiveDialog() {
    HWND active = GetActiveWindow();
    return active && Dialog::Of(active) && IsWindowVisible(active) ? active : nullptr;
}

std::string DialogTest::TextOf(HWND hwnd) {
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(hwnd)) + 1, '\0');
    text.resize(static_cast<std::size_t>(GetWindowTextA(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

DialogScript::Step DialogTest::WhenDialog(std::function<void(HWND)> act) {
    return [act = std::move(act)] {
        HWND dialog = ActiveDialog();
        if (!dialog) return false;
        act(dialog);
        return true;
    };
}

DialogScript::Step DialogTest::Keys(std::vector<int> keys, int modifier) {
    return [this, keys = std::move(keys), modifier] {
        if (!ActiveDialog()) return false;
        if (modifier) display->Key(modifier, true);
        for (int vk : keys) display->KeyPress(vk);
        if (modifier) display->Key(modifier, false);
        return true;
    };
}

DialogScript::Step DialogTest::Typed(std::string text) {
    return [this, text = std::move(text)] {
        if (!ActiveDialog()) return false;
        display->Type(text);
        return true;
    };
}
