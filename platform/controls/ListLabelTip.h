#pragma once
// The label tip of a list view: a small popup that shows the whole text of a cell too narrow for
// it, laid over the cell. It passes the mouse on to the list, as if it were not there.

#include <string>
#include <string_view>

#include "platform/window/Windows.h"

class ListLabelTip {
public:
    static void Register();

    explicit ListLabelTip(HWND list) : list_(list) {}
    ~ListLabelTip();
    ListLabelTip(const ListLabelTip&) = delete;
    ListLabelTip& operator=(const ListLabelTip&) = delete;

    // Shows `text` with its start where the cell's text starts (`text` rectangle, screen
    // coordinates). Nothing is done when it shows for that cell already.
    void Show(int row, int column, const RECT& textRect, std::string_view text, HFONT font);
    void Hide();
    bool Shown() const { return row_ >= 0; }
    bool ShowsFor(int row, int column) const { return row_ == row && column_ == column; }
    HWND Handle() const { return hwnd_; }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void Paint();

    HWND list_;
    HWND hwnd_ = nullptr;
    std::string text_;
    HFONT font_ = nullptr;
    int row_ = -1, column_ = -1;
};
