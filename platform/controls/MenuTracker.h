#pragma once
// The modal menu loop of one thread: over a window's bar, or over a popup (TrackPopupMenu,
// the system menu). It runs in ModalLoop with the mouse captured (and, on X11, the pointer
// grabbed, so that a click outside the program closes the menu), so messages other threads
// send keep being answered while a menu is open. The owner gets, in order: WM_ENTERMENULOOP,
// WM_INITMENU, then for each popup WM_INITMENUPOPUP before it opens (and WM_UNINITMENUPOPUP
// after it closed), WM_MEASUREITEM / WM_DRAWITEM for owner-drawn items, WM_MENUSELECT as the
// selection moves, WM_MENUCHAR for a key no item has as mnemonic, WM_ENTERIDLE while nothing
// comes, then WM_MENUSELECT with 0xFFFF (closed), WM_EXITMENULOOP, and the chosen item's
// WM_COMMAND (WM_SYSCOMMAND for the system menu) posted.

#include <vector>

#include "platform/graphics/GdiTypes.h"
#include "platform/window/WindowTypes.h"

class MenuTracker {
public:
    // The bar of `owner`: from a press at a screen point (`mouse`), or from the keyboard with
    // `key` 0 (F10, Alt: the first item selected) or a character (Alt+letter).
    static void TrackBar(HWND owner, const POINT* mouse, UINT key);
    // The window's system menu below its top-left corner (Alt+Space).
    static void TrackSystemMenu(HWND owner);
    // A popup at a screen point; with TPM_RETURNCMD the command chosen (0: none), else TRUE.
    // FALSE when a loop runs already on this thread or the arguments are bad.
    static BOOL TrackPopup(HMENU menu, UINT flags, POINT at, HWND owner, const RECT* exclude);

    static bool Active();  // a loop runs on the calling thread
    static bool End();     // ends it

private:
    struct Level {
        HMENU menu = nullptr;
        HWND window = nullptr;  // null for the bar
        int selected = -1;
    };
    struct Hit {
        int level = -1;
        int position = -1;
        bool inside = false;  // on some menu, if not on an item
    };

    MenuTracker(HWND owner, HMENU root, bool bar, bool system, UINT flags);
    ~MenuTracker();
    MenuTracker(const MenuTracker&) = delete;
    MenuTracker& operator=(const MenuTracker&) = delete;

    void Begin();
    void Run();
    void Finish();
    bool Filter(MSG& msg);
    bool Idle();

    void OnMouse(UINT message, POINT screen);
    void OnKey(int vk);
    void OnChar(UINT ch);

    Hit HitTest(POINT screen) const;
    bool IsBar(int level) const { return bar_ && level == 0; }
    int Deepest() const { return static_cast<int>(levels_.size()) - 1; }
    void Select(int level, int position, bool byMouse);
    bool OpenPopup(int level, bool selectFirst);
    bool OpenRoot(POINT at, UINT flags, const RECT* exclude);
    void CloseFrom(int level);
    void Execute(int level, int position, bool byMouse);
    void Step(int level, int direction);
    void MoveOnBar(int direction);
    LRESULT Notify(UINT message, WPARAM wParam, LPARAM lParam);

    HWND owner_;
    bool bar_;
    bool system_;
    UINT flags_;
    std::vector<Level> levels_;
    bool done_ = false;
    bool idleSent_ = false;
    bool popupsFollow_ = false;  // on the bar, a newly selected item opens its popup
    UINT chosen_ = 0;
    bool hasChoice_ = false;
    POINT choicePoint_{0, 0};
    bool choiceByMouse_ = false;
};
