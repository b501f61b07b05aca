#pragma once
// The program's bitmap and icon resources, registered from their pixel-art text (resources/)
// under their resource ids, and the icon objects behind HICON handles.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/graphics/GdiTypes.h"
#include "platform/graphics/PixelArt.h"

class ResourceImages {
public:
    // Empty result on success, else why the text is not an image. An icon may be added once
    // for each of its sizes.
    static std::string AddBitmap(int id, std::string_view pixelArt);
    static std::string AddIcon(int id, std::string_view pixelArt);

    // A bitmap resource, or null; shared, so that one added again later leaves it intact.
    static std::shared_ptr<const PixelArt> Bitmap(int id);
    // Every size of an icon resource; empty when there is none.
    static std::vector<PixelArt> Icon(int id);
};

// The object behind an HICON: one image a size. Its handle is an ObjectTable handle.
struct IconObject {
    std::vector<PixelArt> sizes;

    // The image of that size, else the largest scaled to it.
    PixelArt Sized(int width, int height) const;
    static HICON Adopt(std::unique_ptr<IconObject> icon);
    static std::shared_ptr<IconObject> Find(HICON icon);
    static bool Destroy(HICON icon);
};
