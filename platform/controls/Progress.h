#pragma once
// The progress bar ("msctls_progress32"): a position in a range, drawn as blocks or, with
// PBS_SMOOTH, as one bar. Another thread advances it by sending PBM_STEPIT; the window's own
// thread handles every message, so the state needs no lock.

#include <memory>

#include "platform/controls/CommCtrl.h"

inline constexpr const char* PROGRESS_CLASSA = "msctls_progress32";

constexpr DWORD PBS_SMOOTH = 0x01;
constexpr DWORD PBS_VERTICAL = 0x04;

constexpr UINT PBM_SETRANGE = WM_USER + 1;    // lParam: LOWORD min, HIWORD max; the old range packed alike
constexpr UINT PBM_SETPOS = WM_USER + 2;      // the previous position
constexpr UINT PBM_DELTAPOS = WM_USER + 3;    // the previous position
constexpr UINT PBM_SETSTEP = WM_USER + 4;     // the previous step
constexpr UINT PBM_STEPIT = WM_USER + 5;      // the previous position; past the end it starts over
constexpr UINT PBM_SETRANGE32 = WM_USER + 6;  // wParam min, lParam max; the old range packed as PBM_SETRANGE's
constexpr UINT PBM_GETRANGE = WM_USER + 7;    // wParam TRUE: the minimum, else the maximum; lParam PBRANGE* or null
constexpr UINT PBM_GETPOS = WM_USER + 8;
constexpr UINT PBM_SETBARCOLOR = WM_USER + 9;  // lParam colour or CLR_DEFAULT; the previous one
constexpr UINT PBM_GETSTEP = WM_USER + 13;
constexpr UINT PBM_SETBKCOLOR = CCM_SETBKCOLOR;

struct PBRANGE {
    int iLow;
    int iHigh;
};

class Progress {
public:
    static constexpr const char* kProperty = "QbProgress";

    explicit Progress(HWND hwnd) : hwnd_(hwnd) {}

    static void Register();
    static std::unique_ptr<Progress> Make(HWND hwnd, const CREATESTRUCTA& cs);
    LRESULT Handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

private:
    // Moves to `pos` clamped to the range; the previous position.
    int MoveTo(long long pos);
    int StepIt();
    LRESULT SetRange(int low, int high);
    // How much of the bar shows filled, in the units it is drawn in (blocks or pixels): a change
    // that draws the same is not repainted.
    int FilledUnits() const;
    void Paint();

    HWND hwnd_;
    int low_ = 0;
    int high_ = 100;
    int pos_ = 0;
    int step_ = 10;
    COLORREF barColor_ = CLR_DEFAULT;
    COLORREF backColor_ = CLR_DEFAULT;
};
