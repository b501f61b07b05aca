#pragma once
// From a logical font to a face that draws: the faces the viewer names are mapped to installed
// ones ("MS Sans Serif", "Tahoma", "Arial" and their like to DejaVu Sans; "Courier New" to
// DejaVu Sans Mono), found through fontconfig and drawn by FreeType; "Marlett" is drawn by our
// own code. Faces are made once per face, weight, slant and size.

#include <memory>

#include "platform/graphics/FontFace.h"
#include "platform/graphics/GdiTypes.h"

class FontEngine {
public:
    // Null only when no font at all is installed.
    static std::shared_ptr<FontFace> FaceFor(const LOGFONTA& font);
    // The stock DEFAULT_GUI_FONT: a sans face at 8 points (11 pixels at 96 dpi).
    static LOGFONTA DefaultGuiFont();
    // The font of menus (the same face and size).
    static LOGFONTA MenuFont();
};
