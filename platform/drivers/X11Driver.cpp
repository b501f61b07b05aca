#include "platform/drivers/X11Driver.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <unistd.h>

#include <cstring>
#include <vector>

#include "platform/drivers/X11Clipboard.h"
#include "platform/window/InputRouter.h"

// Xlib last: its macros (None, Bool, Status...) must not reach our own headers.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/cursorfont.h>
#include <X11/extensions/XShm.h>
#include <X11/keysym.h>

struct X11Driver::Connection {
    Display* display = nullptr;
    int screen = 0;
    ::Window root = 0;
    Visual* visual = nullptr;
    int depth = 0;
    GC gc = nullptr;
    bool directPixels = false;  // the visual takes our 0x00RRGGBB pixels as they are
    Atom wmProtocols = 0, wmDelete = 0, netWmName = 0, utf8String = 0, netWmState = 0, maxHorz = 0, maxVert = 0;
};

struct X11Driver::Window {
    ::Window xid = 0;
    RECT rect{};
    bool popup = false;
    bool shown = false;
    // The shared-memory image the window's pixels go through.
    XImage* image = nullptr;
    XShmSegmentInfo segment{};

    void FreeImage(Display* display) {
        if (!image) return;
        XShmDetach(display, &segment);
        XDestroyImage(image);  // frees nothing of ours: data is the segment
        shmdt(segment.shmaddr);
        image = nullptr;
    }
};

namespace {

std::atomic<int> gLastXError{0};

// Errors are answers, not reasons to end the program: the call that caused one checks it.
int KeepErrors(Display*, XErrorEvent* e) {
    gLastXError = e->error_code;
    return 0;
}

int VirtualKeyOf(KeySym sym) {
    if (sym >= XK_a && sym <= XK_z) return static_cast<int>('A' + (sym - XK_a));
    if (sym >= XK_A && sym <= XK_Z) return static_cast<int>(sym);
    if (sym >= XK_0 && sym <= XK_9) return static_cast<int>(sym);
    if (sym >= XK_F1 && sym <= XK_F12) return VK_F1 + static_cast<int>(sym - XK_F1);
    switch (sym) {
        case XK_Return:
        case XK_KP_Enter:
            return VK_RETURN;
        case XK_BackSpace:
            return VK_BACK;
        case XK_Tab:
        case XK_ISO_Left_Tab:
            return VK_TAB;
        case XK_Escape:
            return VK_ESCAPE;
        case XK_space:
            return VK_SPACE;
        case XK_Left:
            return VK_LEFT;
        case XK_Right:
            return VK_RIGHT;
        case XK_Up:
            return VK_UP;
        case XK_Down:
            return VK_DOWN;
        case XK_Home:
            return VK_HOME;
        case XK_End:
            return VK_END;
        case XK_Prior:
            return VK_PRIOR;
        case XK_Next:
            return VK_NEXT;
        case XK_Insert:
            return VK_INSERT;
        case XK_Delete:
            return VK_DELETE;
        case XK_Shift_L:
        case XK_Shift_R:
            return VK_SHIFT;
        case XK_Control_L:
        case XK_Control_R:
            return VK_CONTROL;
        case XK_Alt_L:
        case XK_Alt_R:
        case XK_Meta_L:
        case XK_Meta_R:
            return VK_MENU;
        case XK_Menu:
            return VK_APPS;
        case XK_Caps_Lock:
            return VK_CAPITAL;
        case XK_Pause:
            return VK_PAUSE;
        case XK_semicolon:
            return 0xBA;
        case XK_equal:
            return 0xBB;
        case XK_comma:
            return 0xBC;
        case XK_minus:
            return 0xBD;
        case XK_period:
            return 0xBE;
        case XK_slash:
            return 0xBF;
        case XK_grave:
            return 0xC0;
        case XK_bracketleft:
            return 0xDB;
        case XK_backslash:
            return 0xDC;
        case XK_bracketright:
            return 0xDD;
        case XK_apostrophe:
            return 0xDE;
        default:
            return 0;
    }
}

char32_t TextOf(KeySym sym) {
    if ((sym >= 0x20 && sym <= 0x7E) || (sym >= 0xA0 && sym <= 0xFF)) return static_cast<char32_t>(sym);
    if ((sym & 0xFF000000) == 0x01000000) return static_cast<char32_t>(sym & 0x00FFFFFF);  // Unicode keysyms
    switch (sym) {
        case XK_Return:
        case XK_KP_Enter:
            return U'\r';
        case XK_BackSpace:
            return 8;
        case XK_Tab:
            return U'\t';
        case XK_Escape:
            return 27;
        default:
            return 0;
    }
}

unsigned int FontCursorOf(HCURSOR cursor) {
    switch (reinterpret_cast<std::uintptr_t>(cursor)) {
        case 32513:
            return XC_xterm;
        case 32514:
            return XC_watch;
        case 32515:
            return XC_crosshair;
        case 32642:
            return XC_bottom_right_corner;
        case 32643:
            return XC_bottom_left_corner;
        case 32644:
            return XC_sb_h_double_arrow;
        case 32645:
            return XC_sb_v_double_arrow;
        case 32646:
            return XC_fleur;
        case 32648:
            return XC_X_cursor;
        case 32649:
            return XC_hand2;
        default:
            return XC_left_ptr;
    }
}

// One of our pixels in a visual's own layout.
unsigned long PixelFor(const Visual& visual, std::uint32_t pixel) {
    const auto channel = [](unsigned long mask, unsigned value) -> unsigned long {
        if (!mask) return 0;
        const int shift = __builtin_ctzl(mask);
        const unsigned long top = mask >> shift;
        return ((value * top + 127) / 255) << shift;
    };
    return channel(visual.red_mask, (pixel >> 16) & 0xFF) | channel(visual.green_mask, (pixel >> 8) & 0xFF) |
           channel(visual.blue_mask, pixel & 0xFF);
}

void SetNetTitle(X11Driver::Connection& x, ::Window xid, const std::string& title) {
    XStoreName(x.display, xid, title.c_str());
    XChangeProperty(x.display, xid, x.netWmName, x.utf8String, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(title.data()), static_cast<int>(title.size()));
}

}  // namespace

X11Driver::X11Driver() : x_(std::make_unique<Connection>()) {}

std::unique_ptr<X11Driver> X11Driver::Open(const char* displayName) {
    // Windows are drawn and shown from their own threads while ours reads events.
    static const Status threads = XInitThreads();
    (void)threads;
    Display* display = XOpenDisplay(displayName);
    if (!display) return nullptr;
    XSetErrorHandler(KeepErrors);
    auto driver = std::make_unique<X11Driver>();
    Connection& x = *driver->x_;
    x.display = display;
    x.screen = DefaultScreen(display);
    x.root = RootWindow(display, x.screen);
    x.visual = DefaultVisual(display, x.screen);
    x.depth = DefaultDepth(display, x.screen);
    x.gc = XCreateGC(display, x.root, 0, nullptr);
    x.directPixels = x.depth >= 24 && x.visual->red_mask == 0xFF0000 && x.visual->green_mask == 0xFF00 &&
                     x.visual->blue_mask == 0xFF;
    const bool shm = x.directPixels && XShmQueryExtension(display);
    x.wmProtocols = XInternAtom(display, "WM_PROTOCOLS", False);
    x.wmDelete = XInternAtom(display, "WM_DELETE_WINDOW", False);
    x.netWmName = XInternAtom(display, "_NET_WM_NAME", False);
    x.utf8String = XInternAtom(display, "UTF8_STRING", False);
    x.netWmState = XInternAtom(display, "_NET_WM_STATE", False);
    x.maxHorz = XInternAtom(display, "_NET_WM_STATE_MAXIMIZED_HORZ", False);
    x.maxVert = XInternAtom(display, "_NET_WM_STATE_MAXIMIZED_VERT", False);
    if (pipe2(driver->wakePipe_, O_CLOEXEC | O_NONBLOCK) != 0) {
        XCloseDisplay(display);
        x.display = nullptr;
        return nullptr;
    }
    {
        Mutex::Guard guard(driver->lock_);
        driver->shm_ = shm;
    }
    X11Driver* self = driver.get();
    driver->clipboard_ = std::make_unique<X11Clipboard>(display, [self] { self->Kick(); });
    driver->thread_ = std::thread([self] { self->Run(); });
    return driver;
}

X11Driver::~X11Driver() {
    stop_ = true;
    Kick();
    if (thread_.joinable()) thread_.join();
    clipboard_.reset();  // its window goes before the connection
    if (x_->display) {
        Mutex::Guard guard(lock_);
        for (auto& [hwnd, w] : windows_) {
            w->FreeImage(x_->display);
            XDestroyWindow(x_->display, w->xid);
        }
        for (auto& [id, cursor] : cursors_) XFreeCursor(x_->display, cursor);
        XFreeGC(x_->display, x_->gc);
        XCloseDisplay(x_->display);
    }
    for (int fd : wakePipe_)
        if (fd >= 0) close(fd);
}

SIZE X11Driver::ScreenSize() {
    return SIZE{DisplayWidth(x_->display, x_->screen), DisplayHeight(x_->display, x_->screen)};
}

void X11Driver::Create(HWND hwnd, const RECT& screen, bool popup, const std::string& title) {
    Connection& x = *x_;
    // Under the lock throughout: a cursor set meanwhile reaches this window too.
    Mutex::Guard guard(lock_);
    XSetWindowAttributes attributes{};
    attributes.override_redirect = popup ? True : False;
    attributes.background_pixmap = 0;  // no background: our pixels cover it
    attributes.bit_gravity = NorthWestGravity;
    attributes.event_mask = ExposureMask | StructureNotifyMask | KeyPressMask | KeyReleaseMask | ButtonPressMask |
                            ButtonReleaseMask | PointerMotionMask | FocusChangeMask | EnterWindowMask;
    const unsigned width = std::max<LONG>(1, screen.right - screen.left);
    const unsigned height = std::max<LONG>(1, screen.bottom - screen.top);
    const ::Window xid =
        XCreateWindow(x.display, x.root, screen.left, screen.top, width, height, 0, CopyFromParent, InputOutput,
                      CopyFromParent, CWOverrideRedirect | CWBackPixmap | CWBitGravity | CWEventMask, &attributes);
    XSetWMProtocols(x.display, xid, &x.wmDelete, 1);
    XSizeHints hints{};
    hints.flags = USPosition | USSize;
    hints.x = screen.left;
    hints.y = screen.top;
    hints.width = static_cast<int>(width);
    hints.height = static_cast<int>(height);
    XSetWMNormalHints(x.display, xid, &hints);
    XClassHint classHint{const_cast<char*>("quillbridge"), const_cast<char*>("Quillbridge")};
    XSetClassHint(x.display, xid, &classHint);
    SetNetTitle(x, xid, title);
    if (currentCursor_) XDefineCursor(x.display, xid, currentCursor_);
    XFlush(x.display);
    auto w = std::make_unique<Window>();
    w->xid = xid;
    w->rect = screen;
    w->popup = popup;
    byXid_[xid] = hwnd;
    windows_[hwnd] = std::move(w);
}

void X11Driver::Destroy(HWND hwnd) {
    std::unique_ptr<Window> w;
    {
        Mutex::Guard guard(lock_);
        auto it = windows_.find(hwnd);
        if (it == windows_.end()) return;
        w = std::move(it->second);
        windows_.erase(it);
        byXid_.erase(w->xid);
    }
    w->FreeImage(x_->display);
    XDestroyWindow(x_->display, w->xid);
    XFlush(x_->display);
}

void X11Driver::Show(HWND hwnd, bool shown, bool maximized) {
    Connection& x = *x_;
    Mutex::Guard guard(lock_);
    auto it = windows_.find(hwnd);
    if (it == windows_.end()) return;
    Window& w = *it->second;
    if (shown && !w.shown) {
        // The window manager reads the state when the window is mapped.
        if (maximized && !w.popup) {
            const Atom states[] = {x.maxHorz, x.maxVert};
            XChangeProperty(x.display, w.xid, x.netWmState, XA_ATOM, 32, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(states), 2);
        }
        XMapRaised(x.display, w.xid);
    } else if (!shown && w.shown) {
        XUnmapWindow(x.display, w.xid);
    }
    w.shown = shown;
    XFlush(x.display);
}

void X11Driver::Move(HWND hwnd, const RECT& screen) {
    Mutex::Guard guard(lock_);
    auto it = windows_.find(hwnd);
    if (it == windows_.end()) return;
    it->second->rect = screen;
    XMoveResizeWindow(x_->display, it->second->xid, screen.left, screen.top,
                      std::max<LONG>(1, screen.right - screen.left), std::max<LONG>(1, screen.bottom - screen.top));
    XFlush(x_->display);
}

void X11Driver::SetTitle(HWND hwnd, const std::string& title) {
    Mutex::Guard guard(lock_);
    auto it = windows_.find(hwnd);
    if (it == windows_.end()) return;
    SetNetTitle(*x_, it->second->xid, title);
    XFlush(x_->display);
}

void X11Driver::Present(HWND hwnd, const Surface& surface, const RECT& area) {
    Connection& x = *x_;
    const RECT r = surface.Clip(area);
    const int width = r.right - r.left, height = r.bottom - r.top;
    if (width <= 0 || height <= 0) return;
    Mutex::Guard guard(lock_);
    auto it = windows_.find(hwnd);
    if (it == windows_.end() || !it->second->shown) return;
    Window& w = *it->second;

    if (shm_ && (!w.image || w.image->width != surface.Width() || w.image->height != surface.Height())) {
        w.FreeImage(x.display);
        XImage* image =
            XShmCreateImage(x.display, x.visual, static_cast<unsigned>(x.depth), ZPixmap, nullptr, &w.segment,
                            static_cast<unsigned>(surface.Width()), static_cast<unsigned>(surface.Height()));
        const int id = image ? shmget(IPC_PRIVATE, static_cast<std::size_t>(image->bytes_per_line) * image->height,
                                      IPC_CREAT | 0600)
                             : -1;
        void* memory = id >= 0 ? shmat(id, nullptr, 0) : reinterpret_cast<void*>(-1);
        if (memory != reinterpret_cast<void*>(-1)) {
            w.segment.shmid = id;
            w.segment.shmaddr = image->data = static_cast<char*>(memory);
            w.segment.readOnly = False;
            gLastXError = 0;
            XShmAttach(x.display, &w.segment);
            XSync(x.display, False);
            Kick();
            shmctl(id, IPC_RMID, nullptr);  // gone once both sides detach
            if (gLastXError == 0) {
                w.image = image;
            } else {  // a server that cannot share our memory (remote, say)
                shmdt(memory);
                XDestroyImage(image);
                shm_ = false;
            }
        } else {
            if (id >= 0) shmctl(id, IPC_RMID, nullptr);
            if (image) XDestroyImage(image);
            shm_ = false;
        }
    }

    if (w.image) {
        for (int y = r.top; y < r.bottom; ++y)
            std::memcpy(w.image->data + static_cast<std::size_t>(y) * w.image->bytes_per_line + r.left * 4,
                        surface.Row(y) + r.left, static_cast<std::size_t>(width) * 4);
        XShmPutImage(x.display, w.xid, x.gc, w.image, r.left, r.top, r.left, r.top, static_cast<unsigned>(width),
                     static_cast<unsigned>(height), False);
        // The server has read the segment before it is written again.
        XSync(x.display, False);
        Kick();
        return;
    }
    // Without shared memory: the area through the connection, pixel by pixel where the visual
    // wants another layout.
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        std::memcpy(&pixels[static_cast<std::size_t>(y) * width], surface.Row(r.top + y) + r.left,
                    static_cast<std::size_t>(width) * 4);
    XImage* image = XCreateImage(x.display, x.visual, static_cast<unsigned>(x.depth), ZPixmap, 0,
                                 x.directPixels ? reinterpret_cast<char*>(pixels.data()) : nullptr,
                                 static_cast<unsigned>(width), static_cast<unsigned>(height), 32, 0);
    if (!image) return;
    std::vector<char> converted;
    if (!x.directPixels) {
        converted.resize(static_cast<std::size_t>(image->bytes_per_line) * height);
        image->data = converted.data();
        for (int y = 0; y < height; ++y)
            for (int col = 0; col < width; ++col)
                XPutPixel(image, col, y, PixelFor(*x.visual, pixels[static_cast<std::size_t>(y) * width + col]));
    }
    XPutImage(x.display, w.xid, x.gc, image, 0, 0, r.left, r.top, static_cast<unsigned>(width),
              static_cast<unsigned>(height));
    image->data = nullptr;  // ours, not Xlib's to free
    XDestroyImage(image);
    XFlush(x.display);
}

void X11Driver::SetCursor(HCURSOR cursor) {
    Connection& x = *x_;
    Mutex::Guard guard(lock_);
    unsigned long& shape = cursors_[cursor];
    if (!shape) shape = XCreateFontCursor(x.display, FontCursorOf(cursor));
    currentCursor_ = shape;
    for (auto& [hwnd, w] : windows_) XDefineCursor(x.display, w->xid, shape);
    XFlush(x.display);
}

bool X11Driver::GrabPointer(HWND hwnd) {
    Connection& x = *x_;
    Mutex::Guard guard(lock_);
    auto it = windows_.find(hwnd);
    if (it == windows_.end()) return false;
    // Our own windows keep getting their events as usual (owner_events); the rest of the screen's
    // come to `hwnd`, with root coordinates as every pointer event here.
    const int result = XGrabPointer(x.display, it->second->xid, True,
                                    ButtonPressMask | ButtonReleaseMask | PointerMotionMask | EnterWindowMask,
                                    GrabModeAsync, GrabModeAsync, None, currentCursor_, CurrentTime);
    XFlush(x.display);
    return result == GrabSuccess;
}

void X11Driver::UngrabPointer() {
    XUngrabPointer(x_->display, CurrentTime);
    XFlush(x_->display);
}

bool X11Driver::SetClipboardText(const std::string& text) { return clipboard_->Set(text); }

std::optional<std::string> X11Driver::ClipboardText() { return clipboard_->Get(); }

unsigned long X11Driver::XWindowOf(HWND hwnd) {
    Mutex::Guard guard(lock_);
    auto it = windows_.find(hwnd);
    return it == windows_.end() ? 0 : it->second->xid;
}

bool X11Driver::UsesSharedMemory() {
    Mutex::Guard guard(lock_);
    return shm_;
}

void X11Driver::Kick() {
    if (wakePipe_[1] < 0) return;
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = write(wakePipe_[1], &byte, 1);  // a full pipe wakes it already
}

HWND X11Driver::Find(unsigned long xid) {
    Mutex::Guard guard(lock_);
    auto it = byXid_.find(xid);
    return it == byXid_.end() ? nullptr : it->second;
}

void X11Driver::Run() {
    Display* display = x_->display;
    pollfd fds[2] = {{ConnectionNumber(display), POLLIN, 0}, {wakePipe_[0], POLLIN, 0}};
    while (!stop_) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            Handle(&event);
        }
        // Bounded: a reply read by another thread can leave events queued without waking us.
        poll(fds, 2, 100);
        char drained[64];
        while (read(wakePipe_[0], drained, sizeof drained) > 0) {
        }
    }
}

void X11Driver::Handle(void* raw) {
    XEvent& e = *static_cast<XEvent*>(raw);
    if (clipboard_->Handle(raw)) return;
    const HWND hwnd = Find(e.xany.window);
    if (!hwnd) return;
    Display* display = x_->display;
    switch (e.type) {
        case Expose:
            if (e.xexpose.count == 0) InputRouter::Exposed(hwnd);
            break;
        case ConfigureNotify: {
            int rootX = e.xconfigure.x, rootY = e.xconfigure.y;
            if (!e.xconfigure.send_event) {
                ::Window child;
                XTranslateCoordinates(display, e.xconfigure.window, x_->root, 0, 0, &rootX, &rootY, &child);
            }
            const RECT now{rootX, rootY, rootX + e.xconfigure.width, rootY + e.xconfigure.height};
            bool changed;
            {
                Mutex::Guard guard(lock_);
                auto it = windows_.find(hwnd);
                changed = it != windows_.end() && std::memcmp(&it->second->rect, &now, sizeof now) != 0;
                if (changed) it->second->rect = now;
            }
            if (changed) InputRouter::Moved(hwnd, now);
            break;
        }
        case MotionNotify: {
            // Only the latest position counts.
            while (XCheckTypedWindowEvent(display, e.xmotion.window, MotionNotify, &e)) {
            }
            InputRouter::PointerMoved(hwnd, POINT{e.xmotion.x_root, e.xmotion.y_root},
                                      static_cast<DWORD>(e.xmotion.time));
            break;
        }
        case EnterNotify:
            InputRouter::PointerMoved(hwnd, POINT{e.xcrossing.x_root, e.xcrossing.y_root},
                                      static_cast<DWORD>(e.xcrossing.time));
            break;
        case ButtonPress:
        case ButtonRelease: {
            const POINT at{e.xbutton.x_root, e.xbutton.y_root};
            const auto time = static_cast<DWORD>(e.xbutton.time);
            const bool down = e.type == ButtonPress;
            switch (e.xbutton.button) {
                case Button1:
                    InputRouter::ButtonChanged(hwnd, at, InputRouter::Button::Left, down, time);
                    break;
                case Button2:
                    InputRouter::ButtonChanged(hwnd, at, InputRouter::Button::Middle, down, time);
                    break;
                case Button3:
                    InputRouter::ButtonChanged(hwnd, at, InputRouter::Button::Right, down, time);
                    break;
                case Button4:
                case Button5:
                    if (down) InputRouter::WheelTurned(hwnd, at, e.xbutton.button == Button4 ? 120 : -120, time);
                    break;
                default:
                    break;
            }
            break;
        }
        case KeyPress:
        case KeyRelease: {
            const bool down = e.type == KeyPress;
            // A held key repeats as release and press at the same moment: only the presses count.
            if (!down && XEventsQueued(display, QueuedAfterReading) > 0) {
                XEvent next;
                XPeekEvent(display, &next);
                if (next.type == KeyPress && next.xkey.time == e.xkey.time && next.xkey.keycode == e.xkey.keycode)
                    break;
            }
            char text[16];
            KeySym typed = 0;
            XLookupString(&e.xkey, text, sizeof text, &typed, nullptr);
            int vk = VirtualKeyOf(XLookupKeysym(&e.xkey, 0));
            const char32_t c = down ? TextOf(typed) : 0;
            if (!vk && c) vk = VK_PACKET;
            if (vk) InputRouter::KeyChanged(vk, down, c, static_cast<DWORD>(e.xkey.time));
            break;
        }
        case FocusIn:
        case FocusOut:
            if (e.xfocus.mode == NotifyNormal || e.xfocus.mode == NotifyWhileGrabbed)
                InputRouter::Activated(hwnd, e.type == FocusIn);
            break;
        case ClientMessage:
            if (static_cast<Atom>(e.xclient.message_type) == x_->wmProtocols &&
                static_cast<Atom>(e.xclient.data.l[0]) == x_->wmDelete)
                InputRouter::CloseRequested(hwnd);
            break;
        default:
            break;
    }
}
