#pragma once
// Tooltips ("tooltips_class32"): tools are windows (TTF_IDISHWND) or rectangles of a window; the
// control learns where the pointer is from the mouse messages relayed to it (TTM_RELAYEVENT, or
// by subclassing the tool's window with TTF_SUBCLASS), and after the initial delay shows the
// tool's text in a top-level popup near the pointer. A tool whose text is LPSTR_TEXTCALLBACKA
// is asked for it with TTN_GETDISPINFOA (TTN_NEEDTEXTA) sent to the tool's window. A click hides
// the tip; so does the pointer leaving the tool (checked on a timer, since nothing is relayed
// once the pointer is elsewhere) and the autopop delay.

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "platform/controls/CommCtrl.h"

inline constexpr const char* TOOLTIPS_CLASSA = "tooltips_class32";

constexpr DWORD TTS_ALWAYSTIP = 0x01;  // also while the tool's window is inactive
constexpr DWORD TTS_NOPREFIX = 0x02;

constexpr UINT TTF_IDISHWND = 0x0001;  // uId is the tool's window; the tool is its client area
constexpr UINT TTF_CENTERTIP = 0x0002;
constexpr UINT TTF_RTLREADING = 0x0004;
constexpr UINT TTF_SUBCLASS = 0x0010;
constexpr UINT TTF_TRACK = 0x0020;
constexpr UINT TTF_ABSOLUTE = 0x0080;
constexpr UINT TTF_TRANSPARENT = 0x0100;
constexpr UINT TTF_DI_SETITEM = 0x8000;  // NMTTDISPINFOA: keep the text given

constexpr WPARAM TTDT_AUTOMATIC = 0;
constexpr WPARAM TTDT_RESHOW = 1;
constexpr WPARAM TTDT_AUTOPOP = 2;
constexpr WPARAM TTDT_INITIAL = 3;

constexpr UINT TTM_ACTIVATE = WM_USER + 1;
constexpr UINT TTM_SETDELAYTIME = WM_USER + 3;  // wParam TTDT_*, lParam milliseconds (-1: the default)
constexpr UINT TTM_ADDTOOLA = WM_USER + 4;
constexpr UINT TTM_DELTOOLA = WM_USER + 5;
constexpr UINT TTM_NEWTOOLRECTA = WM_USER + 6;
constexpr UINT TTM_RELAYEVENT = WM_USER + 7;  // lParam MSG*
constexpr UINT TTM_GETTOOLINFOA = WM_USER + 8;
constexpr UINT TTM_SETTOOLINFOA = WM_USER + 9;
constexpr UINT TTM_HITTESTA = WM_USER + 10;  // lParam TTHITTESTINFOA*; TRUE and the tool when one is there
constexpr UINT TTM_GETTEXTA = WM_USER + 11;  // wParam the buffer's size (0: 80), lParam TOOLINFOA*
constexpr UINT TTM_UPDATETIPTEXTA = WM_USER + 12;
constexpr UINT TTM_GETTOOLCOUNT = WM_USER + 13;
constexpr UINT TTM_ENUMTOOLSA = WM_USER + 14;
constexpr UINT TTM_GETCURRENTTOOLA = WM_USER + 15;
constexpr UINT TTM_SETTIPBKCOLOR = WM_USER + 19;
constexpr UINT TTM_SETTIPTEXTCOLOR = WM_USER + 20;
constexpr UINT TTM_GETDELAYTIME = WM_USER + 21;
constexpr UINT TTM_GETTIPBKCOLOR = WM_USER + 22;
constexpr UINT TTM_GETTIPTEXTCOLOR = WM_USER + 23;
constexpr UINT TTM_SETMAXTIPWIDTH = WM_USER + 24;  // -1: one line; else wrapped at that width
constexpr UINT TTM_GETMAXTIPWIDTH = WM_USER + 25;
constexpr UINT TTM_SETMARGIN = WM_USER + 26;
constexpr UINT TTM_GETMARGIN = WM_USER + 27;
constexpr UINT TTM_POP = WM_USER + 28;
constexpr UINT TTM_UPDATE = WM_USER + 29;

constexpr UINT TTN_FIRST = 0U - 520U;
constexpr UINT TTN_GETDISPINFOA = TTN_FIRST - 0;
constexpr UINT TTN_SHOW = TTN_FIRST - 1;  // a non-zero answer: the receiver placed the tip itself
constexpr UINT TTN_POP = TTN_FIRST - 2;
constexpr UINT TTN_NEEDTEXTA = TTN_GETDISPINFOA;

struct TOOLINFOA {
    UINT cbSize;
    UINT uFlags;
    HWND hwnd;
    UINT_PTR uId;
    RECT rect;
    HINSTANCE hinst;
    char* lpszText;
    LPARAM lParam;
    void* lpReserved;
};
// Callers of older versions fill less of it: up to lParam, or up to lpReserved.
constexpr UINT TTTOOLINFOA_V1_SIZE = offsetof(TOOLINFOA, lParam);
constexpr UINT TTTOOLINFOA_V2_SIZE = offsetof(TOOLINFOA, lpReserved);

struct TTHITTESTINFOA {
    HWND hwnd;  // and pt in its client coordinates
    POINT pt;
    TOOLINFOA ti;
};

struct NMTTDISPINFOA {
    NMHDR hdr;
    char* lpszText;  // points to szText when asked; the answer may point elsewhere
    char szText[80];
    HINSTANCE hinst;
    UINT uFlags;
    LPARAM lParam;
};
using TOOLTIPTEXTA = NMTTDISPINFOA;

class Tooltip {
public:
    static constexpr const char* kProperty = "QbTooltip";
    static constexpr std::size_t kShortText = 80;  // what a TOOLINFOA text buffer is expected to hold

    explicit Tooltip(HWND hwnd) : hwnd_(hwnd) {}

    static void Register();
    static std::unique_ptr<Tooltip> Make(HWND hwnd, const CREATESTRUCTA& cs);
    LRESULT Handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

private:
    struct Tool {
        UINT flags = 0;
        HWND hwnd = nullptr;
        UINT_PTR id = 0;
        RECT rect{};
        HINSTANCE hinst = nullptr;
        bool callback = false;  // the text is asked for each time
        std::string text;
        LPARAM lParam = 0;

        HWND Window() const { return (flags & TTF_IDISHWND) ? reinterpret_cast<HWND>(id) : hwnd; }
    };
    struct Key {
        HWND hwnd = nullptr;
        UINT_PTR id = 0;
        bool operator==(const Key&) const = default;
    };
    enum class Phase { Idle, Waiting, Shown };

    static Key KeyOf(const TOOLINFOA& ti) { return Key{ti.hwnd, ti.uId}; }
    Tool* Find(const Key& key);
    static void ReadText(Tool& tool, const TOOLINFOA& ti);
    void WriteInfo(const Tool& tool, TOOLINFOA& ti, std::size_t textSize) const;

    BOOL AddTool(const TOOLINFOA* ti);
    BOOL DeleteTool(const TOOLINFOA* ti);
    // The tool under a screen point, if any.
    const Tool* ToolAt(POINT screen) const;
    // The tool of `hwnd` at its client point `p`, if any.
    const Tool* ToolOf(HWND hwnd, POINT p) const;
    void Relay(const MSG* msg);
    // The pointer is over `tool` (null: over none): wait, show, switch or hide.
    void PointerAt(const Tool* tool);
    void Show();
    void Hide();
    // Hides the tip; the current tool shows nothing more until the pointer leaves it.
    void Quiet();
    std::string TextOf(Tool& tool);
    void Place(const Tool& tool);
    void SetDelay(WPARAM which, int milliseconds);
    void Paint();
    bool Shown() const { return phase_ == Phase::Shown; }

    HWND hwnd_;
    std::vector<Tool> tools_;
    bool active_ = true;
    Phase phase_ = Phase::Idle;
    Key current_;  // the tool waited for or shown; valid unless Idle
    Key quiet_;    // a tool clicked or timed out: no tip until the pointer leaves it
    bool quietSet_ = false;
    std::string shownText_;
    int initialDelay_ = 0;
    int autopopDelay_ = 0;
    int reshowDelay_ = 0;
    COLORREF backColor_;
    COLORREF textColor_;
    int maxWidth_ = -1;
    RECT margin_{};
    HFONT font_ = nullptr;  // not owned
};
