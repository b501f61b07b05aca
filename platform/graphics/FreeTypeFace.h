#pragma once
// A face of an installed font file, rendered by FreeType with antialiasing.

#include <memory>
#include <string>

#include "platform/graphics/FontFace.h"

class FreeTypeFace : public FontFace {
public:
    // Null when the file cannot be used. `pixelHeight` is the em size; `weight` the one asked
    // for (reported in the metrics).
    static std::shared_ptr<FreeTypeFace> Open(const std::string& path, int index, int pixelHeight, LONG weight);
    ~FreeTypeFace() override;

    struct Private;  // defined where FreeType is known; only Open can make one
    explicit FreeTypeFace(std::unique_ptr<Private> p);

private:
    Glyph Render(char32_t codepoint) override;

    std::unique_ptr<Private> p_;
};
