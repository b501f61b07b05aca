#pragma once
// The program's bitmaps and icons: pixel art kept as text in resources/images/, built into the
// program and registered under their resource ids.

#include <span>
#include <string>
#include <string_view>

enum class ImageKind { Bitmap, Icon };

struct ImageResource {
    ImageKind kind;
    int id;
    std::string_view name;  // the text file's name, for messages and the contact sheet
    std::string_view text;
};

// Every image text, an icon's sizes one after another, smallest first.
std::span<const ImageResource> ImageResources();

// Registers them with ResourceImages once per process; later calls give the first call's answer.
// Empty on success, else the first error.
std::string RegisterImageResources();
