#pragma once
// A set of menu icons made from a toolbar-style bitmap: every command of its table owns three
// images, the picture at 3k, its normal look (darkened) at 3k + 1 and its disabled look (greyed
// towards the bar colour) at 3k + 2. Sets are shared: all live in one process-wide list, as long
// as menu items hold references to them. Used on the user-interface thread only.
//
// An icon table is 16-bit values: bitmap resource id, icon width, icon height, then the commands
// of the bitmap's pictures in order, ended by 0.

#include <memory>
#include <vector>

#include "platform/graphics/GdiTypes.h"

class CIconMenuIcons {
public:
    // The set of that table and mask colour from the list, else a new one appended to it; null
    // when the table is malformed or its bitmap cannot be loaded. A set nobody takes a reference
    // on goes again with Release's rules (see DropUnused).
    static CIconMenuIcons* Get(const WORD* table, COLORREF mask);
    // The sets in the list, oldest first.
    static std::vector<CIconMenuIcons*> All();
    // Frees the sets no item refers to.
    static void DropUnused();
    // Every set reloads its bitmap and remakes its looks (the system colours changed), at most
    // once in 2000 ms (`now` in milliseconds, as GetTickCount): whether they did. A change that
    // comes too soon is kept pending, to be rebuilt once the interval is over (RebuildDelay).
    static bool RebuildAll(DWORD now);
    // Whether a change waits for its rebuild.
    static bool RebuildPending();
    // Milliseconds from `now` until a rebuild may run again (0: it may now).
    static DWORD RebuildDelay(DWORD now);

    ~CIconMenuIcons();
    CIconMenuIcons(const CIconMenuIcons&) = delete;
    CIconMenuIcons& operator=(const CIconMenuIcons&) = delete;

    void AddRef() { ++references_; }
    // The last reference removes the set from the list and frees it.
    void Release();
    int References() const { return references_; }

    // The first image (3k) of a command, or -1.
    int Find(UINT command) const;
    const std::vector<UINT>& Commands() const { return commands_; }
    HIMAGELIST Images() const { return images_; }
    int IconWidth() const { return width_; }
    int IconHeight() const { return height_; }
    COLORREF Mask() const { return mask_; }

    // Loads the bitmap again and remakes the three looks of every picture.
    bool Rebuild();

private:
    CIconMenuIcons(std::vector<WORD> table, COLORREF mask);

    std::vector<WORD> table_;  // a copy: the caller's table may not outlive the set
    HINSTANCE instance_ = nullptr;
    COLORREF mask_;
    int width_ = 0;
    int height_ = 0;
    std::vector<UINT> commands_;
    HIMAGELIST images_ = nullptr;
    int references_ = 0;
};
