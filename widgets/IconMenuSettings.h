#pragma once
// What the icon menus ask of the system once, at process start-up, and the two switches the
// application sets. The answers come from what this platform offers: it passes for a current
// system of the NT line (generation 1), has GradientFill, no theme service, no remote sessions,
// no high contrast, and shows more than 256 colours (docs/widgets-on-linux.md).
//
// Read and written on the user-interface thread only, as every menu is.

#include "platform/graphics/GdiTypes.h"

struct OSVERSIONINFOA;

class IconMenuSettings {
public:
    static IconMenuSettings& Instance();

    // Reads the system's answers again; the switches keep their values.
    void Read();

    // The system generation code: 0, 2, 3, 4 older consumer systems, 5 NT 4, 6 NT 5.0, 7 NT 5.1,
    // 1 later NT systems (and this platform, which offers what they offer).
    static int GenerationOf(const OSVERSIONINFOA& version);

    bool ThemeActive() const { return themeService && themeActive; }

    int osGeneration = 1;
    bool highContrast = false;
    bool themeService = false;  // the theme service's "IsThemeActive" is offered
    bool themeActive = false;
    bool gradientFill = false;  // "GradientFill" is offered
    bool remoteSession = false;
    int colorCount = 64000;     // the screen's colour count; 64000 stands for "more than a palette"
    int useIconVariants = 1;    // draw the prepared normal and disabled looks of icons
    bool subclassDialogs = false;  // dialogs made while on route their icon menus as frames do

private:
    IconMenuSettings() { Read(); }
};
