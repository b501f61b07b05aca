// The static control: text laid out as DrawText does with the style's format, the parent's
// brush behind it, frames and etched lines (the About box's one-pixel separator), icons, and
// repainting when its font, text or state changes.

#include "platform/controls/Static.h"
#include "platform/graphics/Gdi.h"
#include "platform/graphics/Images.h"
#include "platform/graphics/ResourceImages.h"
#include "platform/graphics/SystemColors.h"
#include "platform/graphics/TextOutput.h"
#include "tests/platform/controls/ControlTesting.h"

namespace {

class StaticTest : public ControlTest {
protected:
    HWND Make(const char* text, DWORD style, const RECT& r = RECT{10, 10, 130, 50}) {
        HWND s = Control(Static::kClassName, text, style, r);
        SendMessageA(s, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
        return s;
    }

    // What DrawText draws of `text` with `format` on the control's default colours and the GUI font.
    static std::vector<COLORREF> Drawn(const char* text, UINT format, int width, int height) {
        HDC dc = CreateCompatibleDC(nullptr);
        HBITMAP bitmap = CreateCompatibleBitmap(dc, width, height);
        HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
        HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
        RECT r{0, 0, width, height};
        FillRect(dc, &r, GetSysColorBrush(COLOR_3DFACE));
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        SetBkColor(dc, GetSysColor(COLOR_3DFACE));
        DrawTextA(dc, text, -1, &r, format);
        std::vector<COLORREF> out;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) out.push_back(GetPixel(dc, x, y));
        SelectObject(dc, oldFont);
        SelectObject(dc, oldBitmap);
        DeleteObject(bitmap);
        DeleteDC(dc);
        return out;
    }

    int Paints(HWND control) const { return Count(control, WM_CTLCOLORSTATIC); }
    int Count(HWND control, UINT message) const {
        int n = 0;
        for (const Seen& s : Recorder::Instance().Log())
            if (s.hwnd == parent && s.message == message && reinterpret_cast<HWND>(s.lParam) == control) ++n;
        return n;
    }
};

TEST_F(StaticTest, TextIsLaidOutWithTheFormatOfItsStyle) {
    struct Case {
        const char* text;
        DWORD style;
        UINT format;
    } cases[] = {
        {"&File name, words that go on past the edge", SS_LEFT, DT_LEFT | DT_WORDBREAK | DT_EXPANDTABS},
        {"&Centred words that wrap as well", SS_CENTER, DT_CENTER | DT_WORDBREAK | DT_EXPANDTABS},
        {"Right", SS_RIGHT, DT_RIGHT | DT_WORDBREAK | DT_EXPANDTABS},
        {"No &prefix && here", SS_LEFT | SS_NOPREFIX, DT_LEFT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX},
        {"tab\tthen a line too long to fit", SS_LEFTNOWORDWRAP, DT_LEFT | DT_EXPANDTABS},
    };
    for (const Case& c : cases) {
        HWND s = Make(c.text, c.style);
        EXPECT_EQ(ClientPixels(s), Drawn(c.text, c.format, 120, 40)) << c.text;
        DestroyWindow(s);
    }
    // The comparison sees the prefix: underlined and without its "&" is not the same picture.
    EXPECT_NE(Drawn("&File", DT_LEFT, 60, 20), Drawn("&File", DT_LEFT | DT_NOPREFIX, 60, 20));
}

TEST_F(StaticTest, TheParentsBrushStandsBehindTextAndGreyedTextWhenDisabled) {
    HWND plain = Make("Words", SS_LEFT);
    EXPECT_EQ(PixelAt(plain, 110, 35), GetSysColor(COLOR_3DFACE)) << "the default answer";
    recorder.On(WM_CTLCOLORSTATIC, [](HWND, UINT, WPARAM wParam, LPARAM, bool&) -> LRESULT {
        SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
        return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
    });
    InvalidateRect(plain, nullptr, TRUE);
    EXPECT_EQ(PixelAt(plain, 110, 35), RGB(255, 255, 255));
    const std::vector<COLORREF> enabled = ClientPixels(plain);
    EXPECT_NE(std::find(enabled.begin(), enabled.end(), GetSysColor(COLOR_WINDOWTEXT)), enabled.end());
    EnableWindow(plain, FALSE);
    const std::vector<COLORREF> disabled = ClientPixels(plain);
    EXPECT_EQ(std::find(disabled.begin(), disabled.end(), GetSysColor(COLOR_WINDOWTEXT)), disabled.end());
    EXPECT_NE(std::find(disabled.begin(), disabled.end(), GetSysColor(COLOR_GRAYTEXT)), disabled.end());
}

TEST_F(StaticTest, FramesAndEtchedLinesDrawTheirEdgesOnly) {
    struct Case {
        DWORD style;
        int height;
        std::vector<COLORREF> rows;  // the first rows, top down, the whole width of each
    } cases[] = {
        // The About box's separator: a grey frame one pixel high is one grey line.
        {SS_GRAYFRAME, 1, {GetSysColor(COLOR_3DSHADOW)}},
        {SS_BLACKFRAME, 1, {GetSysColor(COLOR_WINDOWFRAME)}},
        {SS_WHITEFRAME, 1, {GetSysColor(COLOR_3DHIGHLIGHT)}},
        {SS_ETCHEDHORZ, 4,
         {GetSysColor(COLOR_3DSHADOW), GetSysColor(COLOR_3DHIGHLIGHT), GetSysColor(COLOR_3DFACE),
          GetSysColor(COLOR_3DFACE)}},
        {SS_GRAYRECT, 2, {GetSysColor(COLOR_3DSHADOW), GetSysColor(COLOR_3DSHADOW)}},
    };
    for (const Case& c : cases) {
        const COLORREF below = PixelAt(parent, 70, 20 + c.height);
        HWND line = Make("", c.style, RECT{10, 20, 130, 20 + c.height});
        for (int y = 0; y < c.height; ++y)
            for (int x : {0, 1, 60, 119}) EXPECT_EQ(PixelAt(line, x, y), c.rows[y]) << c.style << " at " << x << "," << y;
        // Nothing drawn outside it: the row below belongs to the parent.
        EXPECT_EQ(PixelAt(parent, 70, 20 + c.height), below) << c.style;
        DestroyWindow(line);
        PumpAll();
    }
    // A taller frame: the edge in the frame's colour, the inside the parent's brush.
    HWND frame = Make("", SS_GRAYFRAME, RECT{10, 10, 40, 40});
    EXPECT_EQ(PixelAt(frame, 0, 15), GetSysColor(COLOR_3DSHADOW));
    EXPECT_EQ(PixelAt(frame, 29, 15), GetSysColor(COLOR_3DSHADOW));
    EXPECT_EQ(PixelAt(frame, 15, 15), GetSysColor(COLOR_3DFACE));
}

TEST_F(StaticTest, AnIconComesFromItsTextOrSTM_SETICONAndSizesTheControl) {
    std::string red = "32 32\ncolor r FF0000\n", blue = "32 32\ncolor b 0000FF\n";
    for (int y = 0; y < 32; ++y) {
        red += std::string(32, 'r') + "\n";
        blue += std::string(32, 'b') + "\n";
    }
    ASSERT_EQ(ResourceImages::AddIcon(4242, red), "");
    ASSERT_EQ(ResourceImages::AddIcon(4243, blue), "");
    HWND icon = Make("#4242", SS_ICON, RECT{10, 10, 15, 15});
    RECT r;
    GetClientRect(icon, &r);
    EXPECT_EQ(r.right, GetSystemMetrics(SM_CXICON));
    EXPECT_EQ(r.bottom, GetSystemMetrics(SM_CYICON));
    const auto loaded = reinterpret_cast<HICON>(SendMessageA(icon, STM_GETICON, 0, 0));
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(PixelAt(icon, 16, 16), RGB(255, 0, 0));
    HICON other = LoadIconA(nullptr, MAKEINTRESOURCEA(4243));
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(icon, STM_SETICON, reinterpret_cast<WPARAM>(other), 0)), loaded);
    EXPECT_EQ(PixelAt(icon, 16, 16), RGB(0, 0, 255));
    // Centred in a larger control, which keeps its size.
    HWND centred = Make("", SS_ICON | SS_CENTERIMAGE, RECT{50, 10, 114, 74});
    SendMessageA(centred, STM_SETICON, reinterpret_cast<WPARAM>(other), 0);
    GetClientRect(centred, &r);
    EXPECT_EQ(r.right, 64);
    EXPECT_EQ(PixelAt(centred, 32, 32), RGB(0, 0, 255));
    EXPECT_NE(PixelAt(centred, 5, 5), RGB(0, 0, 255));
    DestroyWindow(icon);
    DestroyWindow(centred);
    DestroyIcon(other);  // the caller's; the one it loaded itself went with it
}

TEST_F(StaticTest, FontTextAndStateChangesRepaint) {
    HWND s = Make("Text", SS_LEFT);
    PumpAll();
    HFONT gui = GetStockObject(DEFAULT_GUI_FONT);
    struct Case {
        const char* name;
        std::function<void()> act;
        int paints;
    };
    const std::vector<Case> cases{
        {"a font with redraw", [&] { SendMessageA(s, WM_SETFONT, reinterpret_cast<WPARAM>(gui), TRUE); }, 1},
        {"a font without", [&] { SendMessageA(s, WM_SETFONT, reinterpret_cast<WPARAM>(gui), FALSE); }, 0},
        {"a text", [&] { SetWindowTextA(s, "Other"); }, 1},
        {"disabling", [&] { EnableWindow(s, FALSE); }, 1},
    };
    for (const Case& c : cases) {
        recorder.Log().clear();
        c.act();
        PumpAll();
        EXPECT_EQ(Paints(s), c.paints) << c.name;
    }
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(s, WM_GETFONT, 0, 0)), gui);
    char text[16];
    GetWindowTextA(s, text, sizeof text);
    EXPECT_STREQ(text, "Other");
}

TEST_F(StaticTest, ClicksAreReportedWithSS_NOTIFYOnly) {
    HWND quiet = Make("Quiet", SS_LEFT, RECT{10, 10, 60, 30});
    HWND told = Make("Told", SS_LEFT | SS_NOTIFY, RECT{70, 10, 120, 30});
    EXPECT_EQ(SendMessageA(quiet, WM_GETDLGCODE, 0, 0), DLGC_STATIC);
    for (HWND s : {quiet, told}) {
        display->Advance(1000);
        display->DoubleClick(OnScreen(s, 5, 5));
    }
    PumpAll();
    EXPECT_TRUE(Notifications(quiet).empty());
    EXPECT_EQ(Notifications(told), (std::vector<WORD>{STN_CLICKED, STN_DBLCLK}));
}

}  // namespace
