#include "resources/ImageResources.h"

#include <mutex>

#include "platform/graphics/ResourceImages.h"
#include "platform/kernel/Immortal.h"

namespace {

// Generated from images/*.txt (resources/CMakeLists.txt).
constexpr ImageResource kImages[] = {
#include "resources/images/ImageTable.inc"
};

std::string RegisterAll() {
    for (const ImageResource& image : kImages) {
        const std::string error = image.kind == ImageKind::Bitmap ? ResourceImages::AddBitmap(image.id, image.text)
                                                                  : ResourceImages::AddIcon(image.id, image.text);
        if (!error.empty()) return std::string(image.name) + ": " + error;
    }
    return {};
}

}  // namespace

std::span<const ImageResource> ImageResources() { return kImages; }

std::string RegisterImageResources() {
    // An icon gains a size with every AddIcon, so a second registration would double them.
    static std::once_flag once;
    static Immortal<std::string> result;
    std::call_once(once, [] { *result = RegisterAll(); });
    return *result;
}
