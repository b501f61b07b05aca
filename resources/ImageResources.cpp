#include "resources/ImageResources.h"

#include <mutex>

#include "platform/graphics/ResourceImages.h"
#include "platform/kernel/Immortal.h"

namespace {

// Each .inc holds its .txt file as one raw string literal (resources/CMakeLists.txt).
constexpr ImageResource kImages[] = {
    {ImageKind::Bitmap, 135, "toolbar-hot-135",
#include "resources/images/toolbar-hot-135.inc"
    },
    {ImageKind::Bitmap, 138, "toolbar-normal-138",
#include "resources/images/toolbar-normal-138.inc"
    },
    {ImageKind::Bitmap, 139, "toolbar-disabled-139",
#include "resources/images/toolbar-disabled-139.inc"
    },
    {ImageKind::Icon, 128, "program-128-16",
#include "resources/images/program-128-16.inc"
    },
    {ImageKind::Icon, 128, "program-128-32",
#include "resources/images/program-128-32.inc"
    },
    {ImageKind::Icon, 128, "program-128-48",
#include "resources/images/program-128-48.inc"
    },
    {ImageKind::Icon, 128, "program-128-64",
#include "resources/images/program-128-64.inc"
    },
    {ImageKind::Icon, 129, "sidebar-log-129-16",
#include "resources/images/sidebar-log-129-16.inc"
    },
    {ImageKind::Icon, 129, "sidebar-log-129-32",
#include "resources/images/sidebar-log-129-32.inc"
    },
    {ImageKind::Icon, 153, "level-info-153",
#include "resources/images/level-info-153.inc"
    },
    {ImageKind::Icon, 154, "level-warning-154",
#include "resources/images/level-warning-154.inc"
    },
    {ImageKind::Icon, 155, "level-error-155",
#include "resources/images/level-error-155.inc"
    },
    {ImageKind::Icon, 156, "level-fatal-156",
#include "resources/images/level-fatal-156.inc"
    },
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
