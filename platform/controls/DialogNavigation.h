#pragma once
// The dialog manager's keyboard interface: which control the focus goes to on Tab, the arrows,
// a mnemonic, and what Enter and Escape command. Controls are taken in the order they were made
// (the tab order), looking into child windows that are WS_EX_CONTROLPARENT.

#include <vector>

#include "platform/window/WindowTypes.h"

class DialogNavigation {
public:
    static std::vector<HWND> Controls(HWND dialog);
    static HWND NextTabItem(HWND dialog, HWND from, bool previous);
    static HWND NextGroupItem(HWND dialog, HWND from, bool previous);
    // True when `msg` belonged to the dialog; it has then been handled.
    static bool Handle(HWND dialog, MSG& msg);
    // WM_NEXTDLGCTL: the next or previous tab stop, or the control in wParam when lParam says so.
    static void NextControl(HWND dialog, WPARAM wParam, LPARAM lParam);
    // Gives a control the focus as the dialog does: an edit's text selected, the default button's
    // frame on the focused push button, or back on the dialog's default one.
    static void Focus(HWND dialog, HWND control);

private:
    static bool Mnemonic(HWND dialog, HWND focus, char typed);
    static void Enter(HWND dialog, HWND focus);
    static void ShowDefault(HWND dialog, HWND focus);
    static HWND CheckedInGroup(HWND dialog, HWND radio);
};
