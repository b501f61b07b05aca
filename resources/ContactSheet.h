#pragma once
// One picture of all the artwork for reviewers: every image at its own size and enlarged, on the
// button face colour and on white, with its resource id; the toolbar bitmap also as the menus
// derive their normal and disabled looks from it.

#include <span>
#include <string>

#include "platform/graphics/Surface.h"
#include "resources/ImageResources.h"

class ContactSheet {
public:
    static constexpr int kZoom = 4;

    // Empty `error` on success, else the first image that does not parse.
    static Surface Render(std::span<const ImageResource> images, std::string& error);
};
