#pragma once
// Dialog boxes: the dialog class ("#32770") and its default procedure, dialogs made from
// templates, modal (in their own loop, the owner disabled meanwhile) or modeless, the keyboard
// interface (IsDialogMessageA) and the functions a dialog procedure uses on its controls.
//
// Template sizes are dialog units: a horizontal unit is a quarter of the dialog font's average
// character width, a vertical one an eighth of its height. "MS Sans Serif" 8 is drawn with the
// default GUI font's face and size.
//
// Differences from the platform: a dialog keeps no DWLP_* window longs (a dialog procedure's
// result for a message is its return value, or 0); a modal dialog that the thread's quit message
// ends returns 0.

#include <cstdint>
#include <memory>

#include "platform/controls/DialogTemplate.h"
#include "platform/window/WindowTypes.h"

using INT_PTR = std::intptr_t;
using DLGPROC = INT_PTR (*)(HWND, UINT, WPARAM, LPARAM);

inline LPCSTR const WC_DIALOG = "#32770";

// Messages.
constexpr UINT WM_NEXTDLGCTL = 0x0028;
constexpr UINT WM_CTLCOLORMSGBOX = 0x0132;
constexpr UINT WM_CTLCOLORLISTBOX = 0x0134;
constexpr UINT WM_CTLCOLORDLG = 0x0136;
constexpr UINT DM_GETDEFID = WM_USER + 0;
constexpr UINT DM_SETDEFID = WM_USER + 1;
constexpr WORD DC_HASDEFID = 0x534B;  // DM_GETDEFID's high word when there is a default button

// Dialog styles.
constexpr DWORD DS_ABSALIGN = 0x0001;
constexpr DWORD DS_SYSMODAL = 0x0002;
constexpr DWORD DS_3DLOOK = 0x0004;
constexpr DWORD DS_FIXEDSYS = 0x0008;
constexpr DWORD DS_NOFAILCREATE = 0x0010;
constexpr DWORD DS_SETFONT = 0x0040;
constexpr DWORD DS_MODALFRAME = 0x0080;
constexpr DWORD DS_NOIDLEMSG = 0x0100;
constexpr DWORD DS_SETFOREGROUND = 0x0200;
constexpr DWORD DS_CONTROL = 0x0400;
constexpr DWORD DS_CENTER = 0x0800;
constexpr DWORD DS_SHELLFONT = DS_SETFONT | DS_FIXEDSYS;

// The platform's command ids.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDABORT = 3;
constexpr int IDRETRY = 4;
constexpr int IDIGNORE = 5;
constexpr int IDYES = 6;
constexpr int IDNO = 7;
constexpr int IDCLOSE = 8;
constexpr int IDHELP = 9;

// Making dialogs. The modal ones return EndDialog's result, or -1 when the dialog could not be
// made; the modeless ones the dialog, or null.
INT_PTR DialogBoxParamA(HINSTANCE instance, LPCSTR name, HWND owner, DLGPROC proc, LPARAM param);
INT_PTR DialogBoxIndirectParamA(HINSTANCE instance, const DialogTemplate* dialog, HWND owner, DLGPROC proc,
                                LPARAM param);
HWND CreateDialogParamA(HINSTANCE instance, LPCSTR name, HWND owner, DLGPROC proc, LPARAM param);
HWND CreateDialogIndirectParamA(HINSTANCE instance, const DialogTemplate* dialog, HWND owner, DLGPROC proc,
                                LPARAM param);
inline INT_PTR DialogBoxA(HINSTANCE instance, LPCSTR name, HWND owner, DLGPROC proc) {
    return DialogBoxParamA(instance, name, owner, proc, 0);
}
inline HWND CreateDialogA(HINSTANCE instance, LPCSTR name, HWND owner, DLGPROC proc) {
    return CreateDialogParamA(instance, name, owner, proc, 0);
}
// Ends a modal dialog once the message at hand is handled; its DialogBox call returns `result`.
BOOL EndDialog(HWND dialog, INT_PTR result);
LRESULT CALLBACK DefDlgProcA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// The keyboard: Tab and Shift+Tab over WS_TABSTOP controls, arrows within WS_GROUP groups, Enter
// for the default button, Escape for IDCANCEL, mnemonics of labels and buttons, each unless the
// control asks for the key (WM_GETDLGCODE). TRUE when `msg` was for the dialog and is handled.
BOOL IsDialogMessageA(HWND dialog, MSG* msg);
HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous);
HWND GetNextDlgGroupItem(HWND dialog, HWND control, BOOL previous);

// Controls.
BOOL SetDlgItemTextA(HWND dialog, int id, LPCSTR text);
UINT GetDlgItemTextA(HWND dialog, int id, char* text, int size);
LRESULT SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam);
BOOL SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned);
UINT GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL isSigned);
BOOL CheckDlgButton(HWND dialog, int id, UINT check);
UINT IsDlgButtonChecked(HWND dialog, int id);
BOOL CheckRadioButton(HWND dialog, int first, int last, int check);

// Dialog units: `r` in the dialog's units made pixels, by its font.
BOOL MapDialogRect(HWND dialog, RECT* r);
// The system font's base units: the width in the low word, the height in the high word.
LONG GetDialogBaseUnits();

// One dialog window: its procedure, font, units, default button and the control that had the
// focus when it was last active. Made when the window is (WM_NCCREATE), freed with it
// (WM_NCDESTROY); only the dialog's thread uses it.
class Dialog : public std::enable_shared_from_this<Dialog> {
public:
    static constexpr const char* kClassName = "#32770";

    static void Register();
    static std::shared_ptr<Dialog> Of(HWND hwnd);
    static HWND Create(const DialogTemplate& dialog, HWND owner, DLGPROC proc, LPARAM param);
    static INT_PTR RunModal(const DialogTemplate& dialog, HWND owner, DLGPROC proc, LPARAM param);
    // A font's base units: the average width of the Latin letters and the character height.
    static SIZE BaseUnits(HFONT font);

    Dialog(HWND hwnd, DLGPROC proc) : hwnd_(hwnd), proc_(proc) {}
    ~Dialog();
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    SIZE Units() const { return units_; }
    void End(INT_PTR result);
    bool Ended() const { return ended_; }
    INT_PTR Result() const { return result_; }
    // The control to give the focus when the dialog is next activated.
    void SaveFocus(HWND control) { savedFocus_ = control; }

private:
    LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam);
    void UseFont(HFONT font, bool owned);
    bool AddItems(const DialogTemplate& dialog);
    void RestoreFocus();
    bool FramedByDesktop() const;
    LRESULT GetDefId() const;
    void SetDefId(WORD id);

    HWND hwnd_;
    DLGPROC proc_;
    HFONT font_ = nullptr;
    HFONT ownedFont_ = nullptr;
    SIZE units_{};
    HWND savedFocus_ = nullptr;
    WORD defId_ = 0;
    bool ended_ = false;
    INT_PTR result_ = 0;
};
