#pragma once
// What a drag shows while it lasts: the outline of a rectangle on the screen (a bar being docked
// or floated) or a filled bar (a splitter being moved), in a halftone pattern. It is made of small
// top-level popups above everything, one per edge, so that nothing is drawn into other windows
// and nothing needs restoring when it moves: the window system repaints what they uncover.

#include <array>

#include "platform/framework/CRect.h"
#include "platform/window/WindowTypes.h"

class TrackingOutline {
public:
    // The strips belong to `owner`'s top-level window (they go with it).
    explicit TrackingOutline(HWND owner) : owner_(owner) {}
    ~TrackingOutline();
    TrackingOutline(const TrackingOutline&) = delete;
    TrackingOutline& operator=(const TrackingOutline&) = delete;

    // The outline of `screen`, `thickness` pixels wide inside it.
    void Outline(const CRect& screen, int thickness);
    // `screen` filled.
    void Fill(const CRect& screen);
    void Hide();
    bool Shown() const { return shown_; }
    // The rectangle shown last (screen coordinates).
    const CRect& Shows() const { return rect_; }

private:
    void Place(std::size_t strip, const CRect& screen);

    HWND owner_;
    std::array<HWND, 4> strips_{};
    CRect rect_;
    bool shown_ = false;
};
