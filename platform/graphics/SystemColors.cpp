#include "platform/graphics/SystemColors.h"

#include <atomic>
#include <iterator>
#include <mutex>

#include "platform/graphics/FontEngine.h"
#include "platform/graphics/StockObjects.h"

namespace {

// The scheme in use, the classic one of the platform mimicked (its "Windows Classic" colours)
// until SetSysColors changes it. Painting threads read it while a change is written.
constinit std::atomic<COLORREF> gColors[] = {
    RGB(212, 208, 200),  // COLOR_SCROLLBAR
    RGB(58, 110, 165),   // COLOR_BACKGROUND
    RGB(10, 36, 106),    // COLOR_ACTIVECAPTION
    RGB(128, 128, 128),  // COLOR_INACTIVECAPTION
    RGB(212, 208, 200),  // COLOR_MENU
    RGB(255, 255, 255),  // COLOR_WINDOW
    RGB(0, 0, 0),        // COLOR_WINDOWFRAME
    RGB(0, 0, 0),        // COLOR_MENUTEXT
    RGB(0, 0, 0),        // COLOR_WINDOWTEXT
    RGB(255, 255, 255),  // COLOR_CAPTIONTEXT
    RGB(212, 208, 200),  // COLOR_ACTIVEBORDER
    RGB(212, 208, 200),  // COLOR_INACTIVEBORDER
    RGB(128, 128, 128),  // COLOR_APPWORKSPACE
    RGB(10, 36, 106),    // COLOR_HIGHLIGHT
    RGB(255, 255, 255),  // COLOR_HIGHLIGHTTEXT
    RGB(212, 208, 200),  // COLOR_BTNFACE
    RGB(128, 128, 128),  // COLOR_BTNSHADOW
    RGB(128, 128, 128),  // COLOR_GRAYTEXT
    RGB(0, 0, 0),        // COLOR_BTNTEXT
    RGB(212, 208, 200),  // COLOR_INACTIVECAPTIONTEXT
    RGB(255, 255, 255),  // COLOR_BTNHIGHLIGHT
    RGB(64, 64, 64),     // COLOR_3DDKSHADOW
    RGB(212, 208, 200),  // COLOR_3DLIGHT
    RGB(0, 0, 0),        // COLOR_INFOTEXT
    RGB(255, 255, 225),  // COLOR_INFOBK
    RGB(181, 181, 181),  // 25, unnamed
    RGB(0, 0, 128),      // COLOR_HOTLIGHT
    RGB(166, 202, 240),  // COLOR_GRADIENTACTIVECAPTION
    RGB(192, 192, 192),  // COLOR_GRADIENTINACTIVECAPTION
    RGB(10, 36, 106),    // COLOR_MENUHILIGHT
    RGB(212, 208, 200),  // COLOR_MENUBAR
};

constexpr int kColorCount = static_cast<int>(std::size(gColors));

// Writers take it so that a colour and its brush change together.
std::mutex gSchemeWriters;

std::atomic<int> gScreenWidth{1920};
std::atomic<int> gScreenHeight{1080};

}  // namespace

DWORD GetSysColor(int index) {
    return index >= 0 && index < kColorCount ? gColors[index].load(std::memory_order_relaxed) : 0;
}

bool StoreSysColors(int count, const int* indexes, const COLORREF* colors) {
    if (count < 0 || (count > 0 && (!indexes || !colors))) return false;
    for (int i = 0; i < count; ++i)
        if (indexes[i] < 0 || indexes[i] >= kColorCount) return false;
    std::lock_guard guard(gSchemeWriters);
    for (int i = 0; i < count; ++i) {
        const COLORREF color = colors[i] & 0x00FFFFFF;  // palette flags mean nothing to a system colour
        gColors[indexes[i]].store(color, std::memory_order_relaxed);
        StockObjects::RecolorSystemBrush(indexes[i], color);
    }
    return true;
}

HBRUSH GetSysColorBrush(int index) { return StockObjects::SystemColorBrush(index); }

void SetScreenMetrics(int width, int height) {
    gScreenWidth = width;
    gScreenHeight = height;
}

int GetSystemMetrics(int index) {
    switch (index) {
        case SM_CXSCREEN:
            return gScreenWidth;
        case SM_CYSCREEN:
            return gScreenHeight;
        case SM_CXVSCROLL:
        case SM_CYHSCROLL:
        case SM_CYVSCROLL:
        case SM_CXHSCROLL:
            return 16;
        case SM_CYVTHUMB:
        case SM_CXHTHUMB:
            return 16;
        case SM_CYCAPTION:
            return 19;
        case SM_CXBORDER:
        case SM_CYBORDER:
            return 1;
        case SM_CXDLGFRAME:
        case SM_CYDLGFRAME:
            return 3;
        case SM_CXFRAME:
        case SM_CYFRAME:
            return 4;
        case SM_CXICON:
        case SM_CYICON:
        case SM_CXCURSOR:
        case SM_CYCURSOR:
            return 32;
        case SM_CXSMICON:
        case SM_CYSMICON:
            return 16;
        case SM_CYMENU:
            return 19;
        case SM_CXDOUBLECLK:
        case SM_CYDOUBLECLK:
            return 4;
        case SM_CXEDGE:
        case SM_CYEDGE:
            return 2;
        case SM_CXMENUCHECK:
        case SM_CYMENUCHECK:
            return 13;
        case SM_REMOTESESSION:
            return 0;
        default:
            return 0;
    }
}

BOOL SystemParametersInfoA(UINT action, UINT size, void* value, UINT) {
    if (!value) return FALSE;
    switch (action) {
        case SPI_GETNONCLIENTMETRICS: {
            auto* m = static_cast<NONCLIENTMETRICSA*>(value);
            if (size != sizeof *m && m->cbSize != sizeof *m) return FALSE;
            *m = NONCLIENTMETRICSA{};
            m->cbSize = sizeof *m;
            m->iBorderWidth = 1;
            m->iScrollWidth = m->iScrollHeight = GetSystemMetrics(SM_CXVSCROLL);
            m->iCaptionWidth = m->iCaptionHeight = GetSystemMetrics(SM_CYCAPTION) - 1;
            m->iSmCaptionWidth = m->iSmCaptionHeight = 15;
            m->iMenuWidth = m->iMenuHeight = GetSystemMetrics(SM_CYMENU) - 1;
            m->lfMenuFont = m->lfStatusFont = m->lfMessageFont = FontEngine::MenuFont();
            m->lfCaptionFont = m->lfSmCaptionFont = FontEngine::MenuFont();
            m->lfCaptionFont.lfWeight = m->lfSmCaptionFont.lfWeight = FW_BOLD;
            return TRUE;
        }
        case SPI_GETHIGHCONTRAST: {
            auto* h = static_cast<HIGHCONTRASTA*>(value);
            h->dwFlags = 0;
            h->lpszDefaultScheme = nullptr;
            return TRUE;
        }
        case SPI_GETFLATMENU:
        case SPI_GETDROPSHADOW:  // menus that want a shadow draw it themselves
        case SPI_GETMENUANIMATION:
        case SPI_GETMENUFADE:
            *static_cast<BOOL*>(value) = FALSE;
            return TRUE;
        default:
            return FALSE;
    }
}
