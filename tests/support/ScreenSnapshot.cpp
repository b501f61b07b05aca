// screen-snapshot FILE.png: writes the X display's root window ($DISPLAY) as a PNG, for the demo
// and the end-to-end test's pictures.

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <string>

#include "platform/graphics/PngFile.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: screen-snapshot FILE.png\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "screen-snapshot: no X display\n");
        return 1;
    }
    const Window root = DefaultRootWindow(display);
    XWindowAttributes attributes;
    XGetWindowAttributes(display, root, &attributes);
    XImage* image = XGetImage(display, root, 0, 0, attributes.width, attributes.height, AllPlanes, ZPixmap);
    if (!image) {
        std::fprintf(stderr, "screen-snapshot: the screen could not be read\n");
        XCloseDisplay(display);
        return 1;
    }
    Surface surface(attributes.width, attributes.height);
    for (int y = 0; y < attributes.height; ++y)
        for (int x = 0; x < attributes.width; ++x)
            surface.Row(y)[x] = static_cast<std::uint32_t>(XGetPixel(image, x, y)) & 0xFFFFFFu;
    XDestroyImage(image);
    XCloseDisplay(display);
    const std::string error = PngFile::Write(surface, argv[1]);
    if (!error.empty()) {
        std::fprintf(stderr, "screen-snapshot: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
