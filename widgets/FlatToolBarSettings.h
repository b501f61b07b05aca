#pragma once
// What the flat toolbars ask of the system once per process: the common controls' version and
// the width of a drop-down arrow (the "Marlett" '6' at the height of the menu check mark). The
// controls of this platform answer as the classic common controls of a current system (5.82),
// so the toolbars take the paths they take there (docs/widgets-on-linux.md).
//
// Read and written on the user-interface thread only.

#include "platform/kernel/WinTypes.h"

class FlatToolBarSettings {
public:
    static FlatToolBarSettings& Instance();

    // Reads the system's answers again.
    void Read();

    // Versions hold the major in the high word, the minor in the low one: 0x00040047 is 4.71.
    static constexpr DWORD kVersion40 = 0x00040000;
    static constexpr DWORD kVersion471 = 0x00040047;

    DWORD comCtlVersion = kVersion40;  // when the controls do not say
    int dropDownArrowWidth = 0;

private:
    FlatToolBarSettings() { Read(); }
};
