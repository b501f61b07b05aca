#pragma once
// A dialog template: the dialog's style, caption, size and font, and its controls, with
// positions and sizes in dialog units. Templates are kept as C++ data tables and registered under
// resource ids (MAKEINTRESOURCEA(id)) or names, where DialogBoxParamA and CreateDialogParamA
// find them.

#include <memory>
#include <string>
#include <vector>

#include "platform/window/WindowTypes.h"

// The id of controls nobody refers to; the dialog's windows keep it as 0xFFFF.
constexpr int IDC_STATIC = -1;

struct DialogItem {
    std::string className;  // "Button", "Static", "Edit", "ListBox" or any registered class
    std::string text;       // the caption; an icon static names its icon: "#128"
    int id = IDC_STATIC;
    DWORD style = 0;  // WS_CHILD is implied
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
};

class DialogTemplate {
public:
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::string caption;
    std::string className;  // empty: the dialog class, "#32770"
    // The dialog font (DS_SETFONT): its face and size in points; no face: the system font.
    std::string fontFace;
    int pointSize = 0;
    std::vector<DialogItem> items;

    // Adds or replaces the template of a resource id or name; safe from any thread.
    static void Register(LPCSTR name, DialogTemplate dialog);
    // The template registered under `name`; null when there is none.
    static std::shared_ptr<const DialogTemplate> Find(LPCSTR name);
};
