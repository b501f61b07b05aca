#include "platform/window/ScrollBarTracker.h"

#include "platform/graphics/Rects.h"
#include "platform/window/ModalLoop.h"
#include "platform/window/NonClientScrollBars.h"
#include "platform/window/ScrollBarLayout.h"
#include "platform/window/ScrollBarStore.h"
#include "platform/window/Windows.h"

namespace {

int RequestFor(ScrollBarPart part) {
    switch (part) {
        case ScrollBarPart::LineUp:
            return SB_LINEUP;
        case ScrollBarPart::PageUp:
            return SB_PAGEUP;
        case ScrollBarPart::PageDown:
            return SB_PAGEDOWN;
        case ScrollBarPart::LineDown:
            return SB_LINEDOWN;
        default:
            return SB_THUMBTRACK;
    }
}

bool TakesInput(ScrollBarPart part, const ScrollBarState& s) {
    if (part == ScrollBarPart::None || !s.Enabled()) return false;
    if (part == ScrollBarPart::LineUp || part == ScrollBarPart::LineDown) return s.ArrowEnabled(part);
    return true;
}

// One press, from the button going down to it coming up. Lives on the tracking thread's stack;
// the bar's shared numbers stay in the store.
class Session {
public:
    Session(const ScrollBarTracker::Target& target, ScrollBarPart part, POINT at)
        : t_(target), part_(part), pointer_(at) {}

    void Run() {
        SetCapture(t_.hwnd);
        if (part_ == ScrollBarPart::Thumb) {
            const ScrollBarLayout layout = Layout();
            grab_ = layout.Along(pointer_) - layout.ThumbStart();
            const ScrollBarState s = ScrollBarStore::Update(t_.hwnd, t_.bar, [](ScrollBarState& st) {
                st.tracking = true;
                st.trackPos = st.pos;
            });
            startPos_ = trackPos_ = s.pos;
            Notify(SB_THUMBTRACK, trackPos_);
            // The thumb does not repeat; its timer only has the loop look at the capture and the
            // button now and then.
            SetTimer(t_.hwnd, ScrollBarTracker::kTimerId, ScrollBarTracker::kRepeatDelay, nullptr);
        } else {
            UpdatePushed();
            Notify(RequestFor(part_));
            SetTimer(t_.hwnd, ScrollBarTracker::kTimerId, ScrollBarTracker::kFirstDelay, nullptr);
        }
        // A press that is over already (a WM_NCLBUTTONDOWN a program sent) tracks no further.
        released_ = !(GetKeyState(VK_LBUTTON) & 0x8000);
        ModalLoop::Run([this] { return Over(); }, [this](MSG& msg) { return Filter(msg); });
        Finish();
    }

private:
    ScrollBarLayout Layout() const {
        return ScrollBarLayout(t_.screen, t_.vertical, ScrollBarStore::Get(t_.hwnd, t_.bar));
    }

    void Notify(int request, int pos = 0) {
        if (t_.notify)
            SendMessageA(t_.notify, t_.vertical ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(request, pos), t_.control);
    }

    // Ends with the button, the window, or the capture taken elsewhere.
    bool Over() const { return released_ || !IsWindow(t_.hwnd) || GetCapture() != t_.hwnd; }

    bool Filter(MSG& msg) {
        if (msg.hwnd != t_.hwnd) return false;
        if (msg.message == WM_TIMER && msg.wParam == ScrollBarTracker::kTimerId) {
            Tick();
            return true;
        }
        if (msg.message < WM_MOUSEFIRST || msg.message > WM_MOUSELAST || msg.message == WM_MOUSEWHEEL) return false;
        // The capture brings every mouse message here; only moves and the left button's release count.
        if (msg.message == WM_MOUSEMOVE || msg.message == WM_LBUTTONUP) {
            Moved(msg.pt);
            // A move without the button means its release went elsewhere.
            if (msg.message == WM_LBUTTONUP || !(msg.wParam & MK_LBUTTON)) released_ = true;
        }
        return true;
    }

    void Moved(POINT p) {
        pointer_ = p;
        if (part_ != ScrollBarPart::Thumb) {
            UpdatePushed();
            return;
        }
        const ScrollBarLayout layout = Layout();
        RECT reach = t_.screen;
        const int thickness = t_.vertical ? Width(reach) : Height(reach);
        InflateRect(&reach, t_.vertical ? ScrollBarTracker::kThumbReach * thickness : 0,
                    t_.vertical ? 0 : ScrollBarTracker::kThumbReach * thickness);
        const int across = layout.Across(p);
        const bool near =
            across >= (t_.vertical ? reach.left : reach.top) && across < (t_.vertical ? reach.right : reach.bottom);
        const int pos = near ? layout.PositionForThumbAt(layout.Along(p) - grab_) : startPos_;
        if (pos == trackPos_) return;
        trackPos_ = pos;
        ScrollBarStore::Update(t_.hwnd, t_.bar, [pos](ScrollBarState& st) { st.trackPos = pos; });
        NonClientScrollBars::Redraw(t_.hwnd, t_.bar);
        Notify(SB_THUMBTRACK, pos);
    }

    void Tick() {
        // Input comes before timers: a button that is up by now was let go where this loop did
        // not see it (a nested loop took the release).
        if (!(GetKeyState(VK_LBUTTON) & 0x8000)) {
            released_ = true;
            return;
        }
        if (part_ == ScrollBarPart::Thumb) return;
        if (!repeating_) {
            repeating_ = true;
            SetTimer(t_.hwnd, ScrollBarTracker::kTimerId, ScrollBarTracker::kRepeatDelay, nullptr);
        }
        // A page repeats until the thumb reaches the pointer: then the pointer is on the thumb.
        if (Layout().PartAt(pointer_) == part_ && TakesInput(part_, ScrollBarStore::Get(t_.hwnd, t_.bar)))
            Notify(RequestFor(part_));
        UpdatePushed();
    }

    // The held part looks pushed while the pointer is on it.
    void UpdatePushed() {
        if (!IsWindow(t_.hwnd)) return;
        const ScrollBarPart wanted = Layout().PartAt(pointer_) == part_ ? part_ : ScrollBarPart::None;
        if (wanted == pushed_) return;
        pushed_ = wanted;
        ScrollBarStore::Update(t_.hwnd, t_.bar, [wanted](ScrollBarState& st) { st.pushed = wanted; });
        NonClientScrollBars::Redraw(t_.hwnd, t_.bar);
    }

    void Finish() {
        const bool alive = IsWindow(t_.hwnd);
        if (alive) KillTimer(t_.hwnd, ScrollBarTracker::kTimerId);
        if (alive && released_ && part_ == ScrollBarPart::Thumb) Notify(SB_THUMBPOSITION, trackPos_);
        if (IsWindow(t_.hwnd)) {
            ScrollBarStore::Update(t_.hwnd, t_.bar, [](ScrollBarState& st) {
                st.tracking = false;
                st.pushed = ScrollBarPart::None;
            });
            NonClientScrollBars::Redraw(t_.hwnd, t_.bar);
        }
        if (GetCapture() == t_.hwnd) ReleaseCapture();
        if (IsWindow(t_.hwnd)) Notify(SB_ENDSCROLL);
    }

    const ScrollBarTracker::Target t_;
    const ScrollBarPart part_;
    POINT pointer_;
    ScrollBarPart pushed_ = ScrollBarPart::None;
    int grab_ = 0;  // where in the thumb it was taken
    int startPos_ = 0;
    int trackPos_ = 0;
    bool repeating_ = false;
    bool released_ = false;
};

}  // namespace

bool ScrollBarTracker::Track(const Target& target, POINT screen) {
    const ScrollBarState state = ScrollBarStore::Get(target.hwnd, target.bar);
    const ScrollBarPart part = ScrollBarLayout(target.screen, target.vertical, state).PartAt(screen);
    if (!TakesInput(part, state)) return false;
    Session(target, part, screen).Run();
    return true;
}
