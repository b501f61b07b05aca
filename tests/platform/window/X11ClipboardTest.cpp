// The X11 driver's clipboard against a real X server (Xvfb), with another client on a connection
// of its own: it reads what the driver offers (in UTF-8 and Latin-1, large texts in INCR steps)
// and offers what the driver reads.

#include <poll.h>

#include <atomic>
#include <chrono>
#include <optional>
#include <string>
#include <thread>

#include "tests/platform/window/X11Testing.h"

// Xlib last: its macros must not reach the headers above.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace {

using Clock = std::chrono::steady_clock;

// Another X client: a window of its own on a connection of its own.
class OtherClient {
public:
    explicit OtherClient(const std::string& name) : display_(XOpenDisplay(name.c_str())) {
        if (!display_) return;
        window_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 1, 1, 0, 0, 0);
        XSelectInput(display_, window_, PropertyChangeMask);
        clipboard_ = Atom("CLIPBOARD");
        utf8_ = Atom("UTF8_STRING");
        incr_ = Atom("INCR");
        property_ = Atom("PROBE");
        XFlush(display_);
    }
    ~OtherClient() {
        if (display_) XCloseDisplay(display_);
    }
    bool Ok() const { return display_ != nullptr; }
    ::Atom Atom(const char* name) { return XInternAtom(display_, name, False); }

    // Asks the owner for `target` and collects the answer, INCR steps included.
    std::optional<std::string> Read(::Atom target, ::Atom* type = nullptr) {
        XConvertSelection(display_, clipboard_, target, property_, window_, CurrentTime);
        XFlush(display_);
        XEvent e;
        if (!Next(SelectionNotify, e) || e.xselection.property == None) return std::nullopt;
        ::Atom got = None;
        std::string data = Take(got);
        if (type) *type = got;
        if (got != incr_) return data;
        data.clear();
        for (;;) {
            if (!Next(PropertyNotify, e, [&](const XEvent& p) {
                    return p.xproperty.atom == property_ && p.xproperty.state == PropertyNewValue;
                }))
                return std::nullopt;
            const std::string piece = Take(got);
            if (piece.empty()) return data;
            data += piece;
        }
    }

    // Owns the clipboard and answers UTF8_STRING with `text` (in INCR steps of `step` bytes
    // when it is longer) until told to stop; `silent`: answers nothing.
    void Serve(const std::string& text, std::size_t step, bool silent, std::atomic<bool>& owned,
               const std::atomic<bool>& stop) {
        XSetSelectionOwner(display_, clipboard_, window_, CurrentTime);
        XFlush(display_);
        owned = XGetSelectionOwner(display_, clipboard_) == window_;
        ::Window requestor = 0;
        ::Atom property = None;
        std::size_t sent = 0;
        bool incremental = false;
        while (!stop) {
            XEvent e;
            if (!Wait(std::chrono::milliseconds(50), e)) continue;
            if (e.type == SelectionRequest && !silent) {
                const XSelectionRequestEvent& r = e.xselectionrequest;
                XEvent reply{};
                reply.xselection.type = SelectionNotify;
                reply.xselection.requestor = r.requestor;
                reply.xselection.selection = r.selection;
                reply.xselection.target = r.target;
                reply.xselection.time = r.time;
                reply.xselection.property = None;
                if (r.target == utf8_) {
                    if (text.size() <= step) {
                        XChangeProperty(display_, r.requestor, r.property, utf8_, 8, PropModeReplace,
                                        reinterpret_cast<const unsigned char*>(text.data()),
                                        static_cast<int>(text.size()));
                    } else {
                        XSelectInput(display_, r.requestor, PropertyChangeMask);
                        const long size = static_cast<long>(text.size());
                        XChangeProperty(display_, r.requestor, r.property, incr_, 32, PropModeReplace,
                                        reinterpret_cast<const unsigned char*>(&size), 1);
                        requestor = r.requestor;
                        property = r.property;
                        sent = 0;
                        incremental = true;
                    }
                    reply.xselection.property = r.property;
                }
                XSendEvent(display_, r.requestor, False, 0, &reply);
                XFlush(display_);
            } else if (e.type == PropertyNotify && incremental && e.xproperty.window == requestor &&
                       e.xproperty.atom == property && e.xproperty.state == PropertyDelete) {
                const std::size_t n = std::min(step, text.size() - sent);
                XChangeProperty(display_, requestor, property, utf8_, 8, PropModeReplace,
                                reinterpret_cast<const unsigned char*>(text.data() + sent), static_cast<int>(n));
                sent += n;
                if (n == 0) incremental = false;
                XFlush(display_);
            }
        }
    }

private:
    bool Wait(std::chrono::milliseconds patience, XEvent& e) {
        if (XPending(display_) == 0) {
            pollfd fd{ConnectionNumber(display_), POLLIN, 0};
            poll(&fd, 1, static_cast<int>(patience.count()));
            if (XPending(display_) == 0) return false;
        }
        XNextEvent(display_, &e);
        return true;
    }
    template <class Match = bool (*)(const XEvent&)>
    bool Next(int type, XEvent& e, Match match = [](const XEvent&) { return true; }) {
        const auto deadline = Clock::now() + std::chrono::seconds(10);
        while (Clock::now() < deadline)
            if (Wait(std::chrono::milliseconds(100), e) && e.type == type && match(e)) return true;
        return false;
    }
    std::string Take(::Atom& type) {
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        XGetWindowProperty(display_, window_, property_, 0, 1 << 24, True, AnyPropertyType, &type, &format, &count,
                           &after, &data);
        std::string out;
        if (data && format == 8) out.assign(reinterpret_cast<const char*>(data), count);
        if (data) XFree(data);
        XFlush(display_);
        return out;
    }

    Display* display_ = nullptr;
    ::Window window_ = 0;
    ::Atom clipboard_ = 0, utf8_ = 0, incr_ = 0, property_ = 0;
};

class X11ClipboardTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.Started()) << server.Error();
        driver = UseX11(server);
        ASSERT_NE(driver, nullptr);
        ASSERT_TRUE(other.Ok());
    }
    void TearDown() override { UseDisplay(std::make_unique<HeadlessDriver>(SIZE{640, 480})); }

    // The other client offers `text` on a thread of its own while the test reads.
    std::optional<std::string> ReadOffered(const std::string& text, std::size_t step = 1 << 16, bool silent = false) {
        OtherClient owner(server.Display());
        std::atomic<bool> owned{false}, stop{false};
        std::thread serving([&] { owner.Serve(text, step, silent, owned, stop); });
        while (!owned && serving.joinable()) std::this_thread::yield();
        std::optional<std::string> got = driver->ClipboardText();
        stop = true;
        serving.join();
        return got;
    }

    XvfbServer server;
    X11Driver* driver = nullptr;
    OtherClient other{server.Display()};
};

TEST_F(X11ClipboardTest, AnotherClientReadsOurTextAsUtf8OrLatin1) {
    ASSERT_TRUE(driver->SetClipboardText("caf\xE9 \x80\r\nnext"));
    ::Atom type = None;
    EXPECT_EQ(other.Read(other.Atom("UTF8_STRING"), &type), "caf\xC3\xA9 \xE2\x82\xAC\nnext");
    EXPECT_EQ(type, other.Atom("UTF8_STRING"));
    EXPECT_EQ(other.Read(XA_STRING, &type), "caf\xE9 ?\nnext");
    EXPECT_EQ(type, XA_STRING);
    const std::optional<std::string> targets = other.Read(other.Atom("TARGETS"), &type);
    ASSERT_TRUE(targets.has_value());
    EXPECT_EQ(type, XA_ATOM);
    EXPECT_EQ(other.Read(other.Atom("image/png")), std::nullopt) << "a target we do not have is refused";
    // Our own text comes back as it was given.
    EXPECT_EQ(driver->ClipboardText(), "caf\xE9 \x80\r\nnext");
}

TEST_F(X11ClipboardTest, ALargeTextGoesOutInSteps) {
    std::string text;
    for (int i = 0; text.size() < (3u << 20); ++i) text += "debug line " + std::to_string(i) + "\r\n";
    ASSERT_TRUE(driver->SetClipboardText(text));
    ::Atom type = None;
    const std::optional<std::string> got = other.Read(other.Atom("UTF8_STRING"), &type);
    EXPECT_EQ(type, other.Atom("INCR"));
    ASSERT_TRUE(got.has_value());
    std::string expected;
    for (char c : text)
        if (c != '\r') expected += c;
    EXPECT_EQ(got->size(), expected.size());
    EXPECT_TRUE(*got == expected);
}

TEST_F(X11ClipboardTest, WeReadAnotherOwnersTextWholeOrInSteps) {
    EXPECT_EQ(ReadOffered("na\xC3\xAFve\nline"), "na\xEFve\r\nline");
    std::string large;
    for (int i = 0; large.size() < (1u << 20); ++i) large += "row " + std::to_string(i) + "\n";
    std::string expected;
    for (char c : large) expected += c == '\n' ? std::string("\r\n") : std::string(1, c);
    const std::optional<std::string> got = ReadOffered(large, 4096);
    ASSERT_TRUE(got.has_value());
    EXPECT_TRUE(*got == expected);
}

TEST_F(X11ClipboardTest, NoOwnerOrASilentOneGivesNothingAndOwnershipCanBeLost) {
    EXPECT_EQ(driver->ClipboardText(), std::nullopt) << "nobody owns it yet";
    EXPECT_EQ(ReadOffered("never sent", 1 << 16, true), std::nullopt) << "the wait ends";
    ASSERT_TRUE(driver->SetClipboardText("ours"));
    // Another client takes it: ours is gone, theirs is read.
    EXPECT_EQ(ReadOffered("theirs"), "theirs");
}

}  // namespace
