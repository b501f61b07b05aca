#pragma once
// The edit control ("Edit"): single-line (a file dialog's name box) or multi-line (the debug
// log's text box), editable or read-only, with the platform's styles, messages and
// notifications. The text is kept apart from its view (EditText, EditView), so that a text of
// tens of megabytes is set in one pass and scrolled anywhere at once.
//
// Differences from the platform: a multi-line edit does not wrap words (it scrolls sideways, as
// with ES_AUTOHSCROLL); there is no undo (EM_CANUNDO is FALSE); ES_PASSWORD is not honoured.

#include <cstddef>
#include <memory>
#include <string_view>

#include "platform/controls/EditText.h"
#include "platform/controls/EditView.h"
#include "platform/window/WindowTypes.h"

// Styles.
constexpr DWORD ES_LEFT = 0x0000;
constexpr DWORD ES_CENTER = 0x0001;
constexpr DWORD ES_RIGHT = 0x0002;
constexpr DWORD ES_MULTILINE = 0x0004;
constexpr DWORD ES_UPPERCASE = 0x0008;
constexpr DWORD ES_LOWERCASE = 0x0010;
constexpr DWORD ES_PASSWORD = 0x0020;
constexpr DWORD ES_AUTOVSCROLL = 0x0040;
constexpr DWORD ES_AUTOHSCROLL = 0x0080;
constexpr DWORD ES_NOHIDESEL = 0x0100;
constexpr DWORD ES_OEMCONVERT = 0x0400;
constexpr DWORD ES_READONLY = 0x0800;
constexpr DWORD ES_WANTRETURN = 0x1000;
constexpr DWORD ES_NUMBER = 0x2000;

// Messages.
constexpr UINT EM_GETSEL = 0x00B0;
constexpr UINT EM_SETSEL = 0x00B1;
constexpr UINT EM_GETRECT = 0x00B2;
constexpr UINT EM_SCROLL = 0x00B5;
constexpr UINT EM_LINESCROLL = 0x00B6;
constexpr UINT EM_SCROLLCARET = 0x00B7;
constexpr UINT EM_GETMODIFY = 0x00B8;
constexpr UINT EM_SETMODIFY = 0x00B9;
constexpr UINT EM_GETLINECOUNT = 0x00BA;
constexpr UINT EM_LINEINDEX = 0x00BB;
constexpr UINT EM_LINELENGTH = 0x00C1;
constexpr UINT EM_REPLACESEL = 0x00C2;
constexpr UINT EM_GETLINE = 0x00C4;
constexpr UINT EM_LIMITTEXT = 0x00C5;
constexpr UINT EM_SETLIMITTEXT = EM_LIMITTEXT;
constexpr UINT EM_CANUNDO = 0x00C6;
constexpr UINT EM_UNDO = 0x00C7;
constexpr UINT EM_LINEFROMCHAR = 0x00C9;
constexpr UINT EM_EMPTYUNDOBUFFER = 0x00CD;
constexpr UINT EM_GETFIRSTVISIBLELINE = 0x00CE;
constexpr UINT EM_SETREADONLY = 0x00CF;
constexpr UINT EM_GETLIMITTEXT = 0x00D5;
constexpr UINT EM_POSFROMCHAR = 0x00D6;
constexpr UINT EM_CHARFROMPOS = 0x00D7;

// Notifications (the high word of WM_COMMAND's wParam).
constexpr WORD EN_SETFOCUS = 0x0100;
constexpr WORD EN_KILLFOCUS = 0x0200;
constexpr WORD EN_CHANGE = 0x0300;
constexpr WORD EN_UPDATE = 0x0400;
constexpr WORD EN_ERRSPACE = 0x0500;
constexpr WORD EN_MAXTEXT = 0x0501;
constexpr WORD EN_HSCROLL = 0x0601;
constexpr WORD EN_VSCROLL = 0x0602;

class Edit : public std::enable_shared_from_this<Edit> {
public:
    static constexpr const char* kClassName = "Edit";
    // What the user may type before EM_LIMITTEXT says otherwise, and its most.
    static constexpr std::size_t kDefaultLimit = 32767;
    static constexpr std::size_t kMostLimit = 0x7FFFFFFE;

    static void Register();
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    Edit(HWND hwnd, bool multiline);

private:
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

    // Messages.
    BOOL OnSetText(const char* text);
    LRESULT OnGetText(std::size_t size, char* out) const;
    void OnPaint();
    void OnSize();
    void OnSetFont(HFONT font, bool redraw);
    void OnFocus(bool gained);
    bool OnKeyDown(int vk);
    void OnChar(unsigned char c);
    void OnButtonDown(POINT p, WPARAM keys);
    void OnMouseMove(POINT p);
    void OnTimer(std::uintptr_t id);
    void OnScroll(int bar, int request);
    void OnWheel(int delta);
    LRESULT OnGetDlgCode(const MSG* msg) const;
    LRESULT OnSetSel(LPARAM start, LPARAM end);
    LRESULT OnScrollRequest(int request);
    LRESULT OnGetLine(std::size_t line, char* buffer) const;
    LRESULT OnLineLength(LPARAM pos) const;
    LRESULT OnCharFromPos(POINT p);

    // Editing.
    void Insert(std::string_view typed);  // the user's change, refused when read-only
    void ReplaceSelection(std::string_view with);
    void Copy();
    void Paste();
    void Cut();
    void Delete(bool forward);

    // Caret, selection and scrolling.
    void MoveCaret(std::size_t pos, bool extend, bool keepGoal = false);
    void MoveLines(long long lines, bool extend);
    void ScrollBy(long long lines, int dx);
    void EndDrag(bool release);
    void Changed();  // the view after the text, selection or scroll changed
    void UpdateScrollBars();
    void RestartBlink();
    RECT CaretRect();

    DWORD Style() const;
    bool ReadOnly() const;
    std::size_t SelectionStart() const { return anchor_ < caret_ ? anchor_ : caret_; }
    std::size_t SelectionEnd() const { return anchor_ < caret_ ? caret_ : anchor_; }
    // Tells the parent; false when the control was destroyed meanwhile.
    bool Notify(WORD code);

    HWND hwnd_;
    EditText text_;
    EditView view_;
    std::size_t anchor_ = 0, caret_ = 0;
    int goalX_ = -1;  // where up and down aim, while they repeat
    std::size_t limit_ = kDefaultLimit;
    bool modified_ = false, focused_ = false, caretOn_ = false, dragging_ = false;
    POINT dragPoint_{};
    int wheel_ = 0;
    SCROLLINFO shownV_{}, shownH_{};
};
