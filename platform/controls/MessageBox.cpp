#include "platform/controls/MessageBox.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "platform/controls/Button.h"
#include "platform/controls/CommCtrl.h"
#include "platform/controls/DialogNavigation.h"
#include "platform/controls/Static.h"
#include "platform/graphics/Gdi.h"
#include "platform/graphics/ResourceImages.h"
#include "platform/graphics/SystemColors.h"
#include "platform/graphics/TextOutput.h"
#include "platform/window/Windows.h"

namespace {

struct Choice {
    int id;
    const char* caption;
};

struct Box {
    UINT type;
    std::vector<Choice> choices;
};

std::vector<Choice> ChoicesOf(UINT type) {
    switch (type & MB_TYPEMASK) {
        case MB_OKCANCEL:
            return {{IDOK, "OK"}, {IDCANCEL, "Cancel"}};
        case MB_ABORTRETRYIGNORE:
            return {{IDABORT, "&Abort"}, {IDRETRY, "&Retry"}, {IDIGNORE, "&Ignore"}};
        case MB_YESNOCANCEL:
            return {{IDYES, "&Yes"}, {IDNO, "&No"}, {IDCANCEL, "Cancel"}};
        case MB_YESNO:
            return {{IDYES, "&Yes"}, {IDNO, "&No"}};
        case MB_RETRYCANCEL:
            return {{IDRETRY, "&Retry"}, {IDCANCEL, "Cancel"}};
        default:
            return {{IDOK, "OK"}};
    }
}

int IconOf(UINT type) {
    switch (type & MB_ICONMASK) {
        case MB_ICONHAND:
            return 32513;
        case MB_ICONQUESTION:
            return 32514;
        case MB_ICONEXCLAMATION:
            return 32515;
        case MB_ICONASTERISK:
            return 32516;
        default:
            return 0;
    }
}

// Layout in dialog units, as the platform's boxes are spaced.
constexpr short kMargin = 7, kButtonWidth = 50, kButtonHeight = 14, kButtonGap = 4;
constexpr int kIconSize = 32;

// A 32 by 32 icon whose pixel at (x, y) has the key `at` returns; the keys' colours in `colors`.
std::string Art(const std::string& colors, const std::function<char(double, double)>& at) {
    std::string art = "32 32\ncolor . none\n" + colors;
    for (int y = 0; y < kIconSize; ++y) {
        for (int x = 0; x < kIconSize; ++x) art += at(x - 15.5, y - 15.5);
        art += '\n';
    }
    return art;
}

// A character of a small pattern, doubled, with its top left corner at (left, top).
bool InPattern(const std::vector<const char*>& rows, double dx, double dy, int left, int top) {
    const int x = static_cast<int>(std::floor(dx + 15.5)) - left, y = static_cast<int>(std::floor(dy + 15.5)) - top;
    if (x < 0 || y < 0 || y / 2 >= static_cast<int>(rows.size())) return false;
    const std::string row = rows[static_cast<std::size_t>(y / 2)];
    return x / 2 < static_cast<int>(row.size()) && row[static_cast<std::size_t>(x / 2)] == '#';
}

char Disc(double d, char ring, char inside) { return d > 15.2 ? '.' : d > 13.6 ? ring : inside; }

std::string StopArt() {
    return Art("color k 800000\ncolor r D82020\ncolor w FFFFFF\n", [](double dx, double dy) {
        const double d = std::hypot(dx, dy);
        const bool cross = std::abs(dx) < 7 && std::abs(dy) < 7 && (std::abs(dx - dy) < 2.6 || std::abs(dx + dy) < 2.6);
        return d <= 13.6 && cross ? 'w' : Disc(d, 'k', 'r');
    });
}

std::string QuestionArt() {
    static const std::vector<const char*> mark{".#####.", "##...##", "##...##", ".....##", "....##.",
                                               "...##..", "...##..", ".......", "...##..", "...##.."};
    return Art("color b 0A246A\ncolor w FFFFFF\n", [](double dx, double dy) {
        const double d = std::hypot(dx, dy);
        return d <= 13.6 && InPattern(mark, dx, dy, 9, 6) ? 'b' : Disc(d, 'b', 'w');
    });
}

std::string WarningArt() {
    return Art("color k 000000\ncolor y FFD800\n", [](double dx, double dy) {
        // A triangle standing on its base: its half width grows with the depth.
        const double depth = dy + 14, half = depth * 0.55;
        if (depth < 0 || dy > 13.5 || std::abs(dx) > half) return '.';
        if (dy > 12.5 || std::abs(dx) > half - 1.5) return 'k';
        const bool stem = std::abs(dx) < 1.6 && dy > -6 && dy < 5;
        const bool dot = std::abs(dx) < 1.6 && dy > 7 && dy < 10.5;
        return stem || dot ? 'k' : 'y';
    });
}

std::string InformationArt() {
    return Art("color b 1F4FBF\ncolor w FFFFFF\n", [](double dx, double dy) {
        const double d = std::hypot(dx, dy);
        const bool dot = std::hypot(dx, dy + 7.5) < 2.2;
        const bool stem = std::abs(dx) < 1.6 && dy > -3 && dy < 8;
        const bool foot = std::abs(dx) < 4 && dy > 6.5 && dy < 8.5;
        return d <= 13.6 && (dot || stem || foot) ? 'w' : Disc(d, 'w', 'b');
    });
}

}  // namespace

void MessageBox::RegisterIcons() {
    ResourceImages::AddIcon(32513, StopArt());
    ResourceImages::AddIcon(32514, QuestionArt());
    ResourceImages::AddIcon(32515, WarningArt());
    ResourceImages::AddIcon(32516, InformationArt());
}

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) { return MessageBox::Show(owner, text, caption, type); }

int MessageBox::Show(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    InitCommonControls();
    Box box{type, ChoicesOf(type)};
    DialogTemplate dialog;
    dialog.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER | DS_SETFONT;
    dialog.caption = caption ? caption : "Error";
    dialog.fontFace = "MS Sans Serif";
    dialog.pointSize = 8;
    dialog.cx = 100;
    dialog.cy = 50;
    if (const int icon = IconOf(type))
        dialog.items.push_back({Static::kClassName, "#" + std::to_string(icon), kIconId, SS_ICON | WS_VISIBLE});
    dialog.items.push_back(
        {Static::kClassName, text ? text : "", kTextId, SS_LEFT | SS_NOPREFIX | WS_GROUP | WS_VISIBLE});
    std::size_t defaultIndex = ((type & MB_DEFMASK) >> 8);
    if (defaultIndex >= box.choices.size()) defaultIndex = 0;
    for (std::size_t i = 0; i < box.choices.size(); ++i) {
        DWORD style = WS_TABSTOP | WS_VISIBLE | (i == 0 ? WS_GROUP : 0);
        style |= i == defaultIndex ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
        dialog.items.push_back({Button::kClassName, box.choices[i].caption, box.choices[i].id, style});
    }
    const INT_PTR result = DialogBoxIndirectParamA(nullptr, &dialog, owner, Proc, reinterpret_cast<LPARAM>(&box));
    return result < 0 ? 0 : static_cast<int>(result);
}

void MessageBox::Layout(HWND hwnd, UINT type) {
    RECT units{kMargin, kButtonGap, kButtonWidth, kButtonHeight};
    MapDialogRect(hwnd, &units);
    const int margin = units.left, gap = units.top, buttonWidth = units.right, buttonHeight = units.bottom;
    const bool icon = IconOf(type) != 0;
    const int textLeft = margin + (icon ? kIconSize + margin * 2 : 0);

    // The text wraps at five eighths of the screen, as the platform's boxes do; a word longer
    // than that widens the box.
    HWND text = GetDlgItem(hwnd, kTextId);
    const std::string caption = [&] {
        std::string s(static_cast<std::size_t>(GetWindowTextLengthA(text)) + 1, '\0');
        s.resize(static_cast<std::size_t>(GetWindowTextA(text, s.data(), static_cast<int>(s.size()))));
        return s;
    }();
    HDC hdc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(hdc, reinterpret_cast<HFONT>(SendMessageA(hwnd, WM_GETFONT, 0, 0)));
    RECT measured{0, 0, GetSystemMetrics(SM_CXSCREEN) * 5 / 8, 0};
    DrawTextA(hdc, caption.c_str(), static_cast<int>(caption.size()), &measured,
              DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
    SelectObject(hdc, old);
    ReleaseDC(nullptr, hdc);
    const int textWidth = measured.right, textHeight = measured.bottom;

    std::vector<HWND> buttons;
    for (HWND h : DialogNavigation::Controls(hwnd))
        if (SendMessageA(h, WM_GETDLGCODE, 0, 0) & DLGC_BUTTON) buttons.push_back(h);
    const int count = static_cast<int>(buttons.size());
    const int row = count * buttonWidth + (count - 1) * gap;
    const int contentHeight = std::max(icon ? kIconSize : 0, textHeight);
    const int width = std::max(textLeft + textWidth + margin, row + 2 * margin);
    const int buttonsTop = margin + contentHeight + margin;
    const int height = buttonsTop + buttonHeight + margin;

    if (icon) MoveWindow(GetDlgItem(hwnd, kIconId), margin, margin, kIconSize, kIconSize, FALSE);
    MoveWindow(text, textLeft, margin + (contentHeight - textHeight) / 2, textWidth, textHeight, FALSE);
    for (int i = 0; i < count; ++i)
        MoveWindow(buttons[static_cast<std::size_t>(i)], (width - row) / 2 + i * (buttonWidth + gap), buttonsTop,
                   buttonWidth, buttonHeight, FALSE);

    RECT window, client;
    GetWindowRect(hwnd, &window);
    GetClientRect(hwnd, &client);
    const int outerWidth = width + (window.right - window.left) - client.right;
    const int outerHeight = height + (window.bottom - window.top) - client.bottom;
    SetWindowPos(hwnd, nullptr, (GetSystemMetrics(SM_CXSCREEN) - outerWidth) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - outerHeight) / 2, outerWidth, outerHeight,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CALLBACK MessageBox::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: {
            const auto* box = reinterpret_cast<const Box*>(lParam);
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, lParam);
            Layout(hwnd, box->type);
            const LRESULT defId = SendMessageA(hwnd, DM_GETDEFID, 0, 0);
            // The default button takes the focus when the box is activated.
            if (const auto self = Dialog::Of(hwnd)) self->SaveFocus(GetDlgItem(hwnd, LOWORD(defId)));
            return FALSE;
        }
        case WM_COMMAND: {
            const auto* box = reinterpret_cast<const Box*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
            if (!box || HIWORD(wParam) != BN_CLICKED) return FALSE;
            const int id = LOWORD(wParam);
            const auto offered = [&](int wanted) {
                return std::any_of(box->choices.begin(), box->choices.end(),
                                   [&](const Choice& c) { return c.id == wanted; });
            };
            if (offered(id))
                EndDialog(hwnd, id);
            else if (id == IDCANCEL && (box->type & MB_TYPEMASK) == MB_OK)
                EndDialog(hwnd, IDOK);
            return TRUE;
        }
        default:
            return FALSE;
    }
}
