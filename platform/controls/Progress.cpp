#include "platform/controls/Progress.h"

#include <algorithm>

#include "platform/controls/ControlInstance.h"
#include "platform/graphics/Edges.h"
#include "platform/graphics/Gdi.h"
#include "platform/graphics/Rects.h"
#include "platform/graphics/SystemColors.h"

namespace {

constexpr int kBlockGap = 2;

// The part of the client area the bar fills: inside a one-pixel sunken frame and a one-pixel gap.
RECT BarArea(HWND hwnd) {
    RECT r;
    GetClientRect(hwnd, &r);
    InflateRect(&r, -2, -2);
    if (r.right < r.left) r.right = r.left;
    if (r.bottom < r.top) r.bottom = r.top;
    return r;
}

LRESULT PackRange(int low, int high) { return MAKELPARAM(low, high); }

COLORREF Resolve(COLORREF color, int fallback) { return color == CLR_DEFAULT ? GetSysColor(fallback) : color; }

}  // namespace

void Progress::Register() { ControlInstance<Progress>::Register(PROGRESS_CLASSA, CS_HREDRAW | CS_VREDRAW); }

std::unique_ptr<Progress> Progress::Make(HWND hwnd, const CREATESTRUCTA&) { return std::make_unique<Progress>(hwnd); }

int Progress::FilledUnits() const {
    const RECT bar = BarArea(hwnd_);
    const bool vertical = GetWindowLongPtrA(hwnd_, GWL_STYLE) & PBS_VERTICAL;
    const long long length = vertical ? Height(bar) : Width(bar);
    const long long span = static_cast<long long>(high_) - low_;
    if (span <= 0 || length <= 0) return 0;
    const long long filled = std::clamp((static_cast<long long>(pos_) - low_) * length / span, 0LL, length);
    if (GetWindowLongPtrA(hwnd_, GWL_STYLE) & PBS_SMOOTH) return static_cast<int>(filled);
    const long long block = (vertical ? Width(bar) : Height(bar)) * 2 / 3;
    const long long pitch = std::max(1LL, block) + kBlockGap;
    return static_cast<int>((filled + pitch - 1) / pitch);
}

int Progress::MoveTo(long long pos) {
    const int previous = pos_;
    const int drawnBefore = FilledUnits();
    pos_ = static_cast<int>(std::clamp<long long>(pos, std::min(low_, high_), std::max(low_, high_)));
    if (FilledUnits() != drawnBefore) InvalidateRect(hwnd_, nullptr, FALSE);
    return previous;
}

int Progress::StepIt() {
    long long pos = static_cast<long long>(pos_) + step_;
    const long long span = static_cast<long long>(high_) - low_;
    // Past either end the bar starts over from the other, as far past as the step went.
    if (span <= 0)
        pos = low_;
    else if (pos > high_)
        pos = low_ + (pos - low_) % span;
    else if (pos < low_)
        pos = high_ - (low_ - pos) % span;
    return MoveTo(pos);
}

LRESULT Progress::SetRange(int low, int high) {
    const LRESULT previous = PackRange(low_, high_);
    if (low == low_ && high == high_) return previous;
    low_ = low;
    high_ = high;
    pos_ = std::clamp(pos_, std::min(low_, high_), std::max(low_, high_));
    InvalidateRect(hwnd_, nullptr, FALSE);
    return previous;
}

void Progress::Paint() {
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hwnd_, &ps);
    if (!hdc) return;
    RECT client;
    GetClientRect(hwnd_, &client);
    const HBRUSH back = CreateSolidBrush(Resolve(backColor_, COLOR_3DFACE));
    FillRect(hdc, &client, back);
    DeleteObject(back);
    Draw3dRect(hdc, &client, GetSysColor(COLOR_3DSHADOW), GetSysColor(COLOR_3DHILIGHT));

    const RECT bar = BarArea(hwnd_);
    const DWORD style = static_cast<DWORD>(GetWindowLongPtrA(hwnd_, GWL_STYLE));
    const bool vertical = style & PBS_VERTICAL;
    const int units = FilledUnits();
    const HBRUSH fill = CreateSolidBrush(Resolve(barColor_, COLOR_HIGHLIGHT));
    if (style & PBS_SMOOTH) {
        RECT r = bar;
        if (vertical)
            r.top = r.bottom - units;
        else
            r.right = r.left + units;
        FillRect(hdc, &r, fill);
    } else {
        const int block = std::max<int>(1, (vertical ? Width(bar) : Height(bar)) * 2 / 3);
        for (int i = 0; i < units; ++i) {
            RECT r = bar;
            const int offset = i * (block + kBlockGap);
            if (vertical) {
                r.bottom = bar.bottom - offset;
                r.top = std::max<LONG>(bar.top, r.bottom - block);
            } else {
                r.left = bar.left + offset;
                r.right = std::min<LONG>(bar.right, r.left + block);
            }
            FillRect(hdc, &r, fill);
        }
    }
    DeleteObject(fill);
    EndPaint(hwnd_, &ps);
}

LRESULT Progress::Handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case PBM_SETRANGE:
            return SetRange(LOWORD(static_cast<std::uintptr_t>(lParam)), HIWORD(static_cast<std::uintptr_t>(lParam)));
        case PBM_SETRANGE32:
            return SetRange(static_cast<int>(wParam), static_cast<int>(lParam));
        case PBM_GETRANGE:
            if (auto* range = reinterpret_cast<PBRANGE*>(lParam)) *range = PBRANGE{low_, high_};
            return wParam ? low_ : high_;
        case PBM_SETPOS:
            return MoveTo(static_cast<int>(wParam));
        case PBM_DELTAPOS:
            return MoveTo(static_cast<long long>(pos_) + static_cast<int>(wParam));
        case PBM_GETPOS:
            return pos_;
        case PBM_SETSTEP: {
            const int previous = step_;
            step_ = static_cast<int>(wParam);
            return previous;
        }
        case PBM_GETSTEP:
            return step_;
        case PBM_STEPIT:
            return StepIt();
        case PBM_SETBARCOLOR:
        case PBM_SETBKCOLOR: {
            COLORREF& color = message == PBM_SETBARCOLOR ? barColor_ : backColor_;
            const COLORREF previous = color;
            color = static_cast<COLORREF>(lParam);
            InvalidateRect(hwnd, nullptr, FALSE);
            return previous;
        }
        case WM_ERASEBKGND:
            return 1;  // painting covers the whole client area
        case WM_PAINT:
            Paint();
            return 0;
        default:
            return ControlInstance<Progress>::Default(PROGRESS_CLASSA, hwnd, message, wParam, lParam);
    }
}
