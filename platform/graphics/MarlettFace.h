#pragma once
// The "Marlett" symbols the menus and controls ask for, drawn by code at any size: check marks
// ('a', 'b'), radio dots ('h', 'i'), triangles ('3' left, '4' right, '5' up, '6' down), small
// arrows ('7' left, '8' right) and a cross ('r'). Every symbol is a square one em wide.

#include <memory>

#include "platform/graphics/FontFace.h"

class MarlettFace : public FontFace {
public:
    static std::shared_ptr<MarlettFace> Make(int pixelHeight);
    explicit MarlettFace(int em);

private:
    Glyph Render(char32_t codepoint) override;

    int em_;
};
