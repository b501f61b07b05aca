// Text measurement and layout, the Marlett symbols, image lists, resource images, mapped bitmaps
// and PNG files.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "platform/graphics/FontEngine.h"
#include "platform/graphics/Gdi.h"
#include "platform/graphics/ImageList.h"
#include "platform/graphics/Images.h"
#include "platform/graphics/PixelArt.h"
#include "platform/graphics/PngFile.h"
#include "platform/graphics/ResourceImages.h"
#include "platform/graphics/SystemColors.h"
#include "platform/graphics/TextCodec.h"
#include "platform/graphics/TextOutput.h"
#include "tests/platform/graphics/Canvas.h"
#include "tests/support/TempDirectory.h"

namespace {

HFONT Font(LONG height, LONG weight = FW_NORMAL, const char* face = "MS Sans Serif") {
    LOGFONTA f{};
    f.lfHeight = height;
    f.lfWeight = weight;
    std::strcpy(f.lfFaceName, face);
    return CreateFontIndirectA(&f);
}

int Width(HDC dc, const char* text) {
    SIZE s{};
    GetTextExtentPoint32A(dc, text, -1, &s);
    return s.cx;
}

// The first and last columns and rows with pixels that are not white: {left, top, right, bottom}.
RECT Ink(const Canvas& c, int width, int height) {
    RECT ink{width, height, -1, -1};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (c.At(x, y) != RGB(255, 255, 255)) {
                ink.left = std::min<LONG>(ink.left, x);
                ink.right = std::max<LONG>(ink.right, x);
                ink.top = std::min<LONG>(ink.top, y);
                ink.bottom = std::max<LONG>(ink.bottom, y);
            }
    return ink;
}

constexpr char kSmallIcon[] = R"(
# a 4 x 4 test icon: a red square with a clear corner
4 4
color . none
color r FF0000
.rrr
rrrr
rrrr
rrrr
)";

}  // namespace

TEST(Text, MeasurementIsStableAndAddsUp) {
    Canvas c(10, 10);
    HFONT gui = (HFONT)GetStockObject(DEFAULT_GUI_FONT);
    SelectObject(c.dc, gui);
    TEXTMETRICA tm{};
    ASSERT_TRUE(GetTextMetricsA(c.dc, &tm));
    EXPECT_GE(tm.tmHeight, 11);
    EXPECT_LE(tm.tmHeight, 16);
    EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
    const int whole = Width(c.dc, "Quillbridge Log");
    EXPECT_EQ(whole, Width(c.dc, "Quillbridge") + Width(c.dc, " Log"));
    EXPECT_EQ(whole, Width(c.dc, "Quillbridge Log")) << "the same each time";
    int widths[3];
    ASSERT_TRUE(GetCharWidth32A(c.dc, 'a', 'c', widths));
    EXPECT_EQ(widths[0] + widths[1] + widths[2], Width(c.dc, "abc"));

    HFONT bold = Font(-11, FW_BOLD), heavy = Font(-11, FW_HEAVY);
    SelectObject(c.dc, bold);
    const int boldWidth = Width(c.dc, "Quillbridge Log");
    SelectObject(c.dc, heavy);
    EXPECT_GT(boldWidth, whole) << "700 is wider";
    EXPECT_GE(Width(c.dc, "Quillbridge Log"), boldWidth) << "900 at least as wide";
    SelectObject(c.dc, gui);
    DeleteObject(bold);
    DeleteObject(heavy);
}

TEST(Text, TextIsDecodedAsUtf8ElseAsWindows1252) {
    EXPECT_EQ(TextCodec::Decode("caf\xC3\xA9"), U"caf\u00E9");
    EXPECT_EQ(TextCodec::Decode("caf\xE9"), U"caf\u00E9") << "a lone high byte is a single-byte character";
    EXPECT_EQ(TextCodec::Decode("\x80"), U"\u20AC");
    EXPECT_EQ(TextCodec::Decode("\xED\xA0\x80"), U"\u00ED\u00A0\u20AC") << "no encoded surrogates";
}

TEST(Text, DrawTextLayout) {
    Canvas c(200, 80);
    SelectObject(c.dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(c.dc, TRANSPARENT);
    TEXTMETRICA tm{};
    GetTextMetricsA(c.dc, &tm);

    RECT calc{0, 0, 200, 0};
    const int height = DrawTextA(c.dc, "Quillbridge", -1, &calc, DT_SINGLELINE | DT_CALCRECT);
    EXPECT_EQ(height, tm.tmHeight);
    EXPECT_EQ(calc.right, Width(c.dc, "Quillbridge"));
    EXPECT_EQ(Ink(c, 200, 80).right, -1) << "measuring draws nothing";

    RECT narrow{0, 0, 60, 0};
    DrawTextA(c.dc, "one two three four", -1, &narrow, DT_WORDBREAK | DT_CALCRECT);
    EXPECT_GE(narrow.bottom, 2 * tm.tmHeight) << "wrapped onto more lines";
    EXPECT_LE(narrow.right, 60);
    RECT lines{0, 0, 200, 0};
    EXPECT_EQ(DrawTextA(c.dc, "a\r\nb\nc", -1, &lines, DT_CALCRECT), 3 * tm.tmHeight);

    RECT box{0, 0, 200, 40};
    DrawTextA(c.dc, "right", -1, &box, DT_SINGLELINE | DT_RIGHT | DT_VCENTER);
    const RECT ink = Ink(c, 200, 80);
    EXPECT_GE(ink.right, 196);
    EXPECT_GT(ink.top, 40 / 2 - tm.tmHeight) << "centred vertically";
    EXPECT_LT(ink.bottom, 40 / 2 + tm.tmHeight);
}

TEST(Text, PrefixUnderlineTabsAndClipping) {
    auto bottomRowInk = [](const char* text, UINT format) {
        Canvas c(80, 20);
        SelectObject(c.dc, GetStockObject(DEFAULT_GUI_FONT));
        RECT r{0, 0, 80, 20};
        DrawTextA(c.dc, text, -1, &r, format | DT_SINGLELINE);
        TEXTMETRICA tm{};
        GetTextMetricsA(c.dc, &tm);
        int count = 0;
        for (int x = 0; x < 80; ++x) count += c.At(x, tm.tmAscent + 1) == RGB(0, 0, 0);
        return count;
    };
    EXPECT_GT(bottomRowInk("&File", 0), bottomRowInk("File", 0)) << "the prefixed letter is underlined";
    EXPECT_EQ(bottomRowInk("&File", DT_HIDEPREFIX), bottomRowInk("File", 0));

    Canvas c(120, 20);
    SelectObject(c.dc, GetStockObject(DEFAULT_GUI_FONT));
    RECT calc{0, 0, 120, 20};
    DrawTextA(c.dc, "a&&b", -1, &calc, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(calc.right, Width(c.dc, "a&b")) << "&& is one &";
    calc = RECT{0, 0, 120, 20};
    DrawTextA(c.dc, "a&b", -1, &calc, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    EXPECT_EQ(calc.right, Width(c.dc, "a&b"));
    TEXTMETRICA tm{};
    GetTextMetricsA(c.dc, &tm);
    calc = RECT{0, 0, 120, 20};
    DrawTextA(c.dc, "\tx", -1, &calc, DT_CALCRECT | DT_SINGLELINE | DT_EXPANDTABS);
    EXPECT_EQ(calc.right, 8 * tm.tmAveCharWidth + Width(c.dc, "x")) << "a tab goes to the next stop";

    RECT clip{0, 0, 10, 20};
    DrawTextA(c.dc, "clipped text", -1, &clip, DT_SINGLELINE);
    EXPECT_LT(Ink(c, 120, 20).right, 10);
}

TEST(Text, OpaqueBackgroundAndColours) {
    Canvas c(60, 20);
    SelectObject(c.dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkColor(c.dc, RGB(0, 0, 255));
    SetTextColor(c.dc, RGB(255, 0, 0));
    TextOutA(c.dc, 2, 2, "Hi", -1);
    EXPECT_EQ(c.At(2, 2), RGB(0, 0, 255)) << "the cell is filled first";
    bool red = false;  // antialiased: red blended over the blue
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 60; ++x) red |= GetRValue(c.At(x, y)) > 160 && GetBValue(c.At(x, y)) < 100;
    EXPECT_TRUE(red);
}

TEST(Text, MarlettSymbolsAreDrawnByCode) {
    Canvas c(13, 13);
    HFONT marlett = Font(-13, FW_NORMAL, "Marlett");
    SelectObject(c.dc, marlett);
    SetBkMode(c.dc, TRANSPARENT);
    int widths[1];
    GetCharWidth32A(c.dc, '6', '6', widths);
    EXPECT_EQ(widths[0], 13) << "a square one em wide";
    TextOutA(c.dc, 0, 0, "b", 1);
    const RECT ink = Ink(c, 13, 13);
    EXPECT_GE(ink.left, 0);
    EXPECT_GT(ink.right - ink.left, 6) << "a check mark";
    SelectObject(c.dc, GetStockObject(SYSTEM_FONT));
    DeleteObject(marlett);
}

TEST(Images, PixelArtAndItsMistakes) {
    std::string error;
    PixelArt art = PixelArt::Parse(kSmallIcon, error);
    ASSERT_EQ(error, "");
    EXPECT_EQ(art.image.Width(), 4);
    EXPECT_EQ(art.transparent[0], 1);
    EXPECT_EQ(art.image.At(1, 0), 0xFF0000u);
    struct Case {
        const char* text;
        const char* reason;
    };
    for (Case c :
         {Case{"4 x", "size"}, Case{"2 1\ncolor a 12345", "RRGGBB"}, Case{"2 1\ncolor a 000000\nab", "key 'b'"},
          Case{"2 2\ncolor a 000000\naa", "1 of its 2 rows"}, Case{"2 1\ncolor a 000000\naaa", "row of 2"}}) {
        PixelArt::Parse(c.text, error);
        EXPECT_NE(error.find(c.reason), std::string::npos) << c.text << ": " << error;
    }
}

TEST(Images, ImageListsDrawWithTransparency) {
    ASSERT_EQ(ResourceImages::AddBitmap(9001,
                                        "4 2\ncolor . C0C0C0\ncolor r FF0000\ncolor b 0000FF\n"
                                        ".r.b\nrrbb\n"),
              "");
    HIMAGELIST list = ImageList_Create(2, 2, ILC_COLOR32 | ILC_MASK, 2, 1);
    HBITMAP strip = LoadBitmapA(nullptr, MAKEINTRESOURCEA(9001));
    ASSERT_NE(strip, nullptr);
    EXPECT_EQ(ImageList_AddMasked(list, strip, RGB(192, 192, 192)), 0);
    EXPECT_EQ(ImageList_GetImageCount(list), 2);
    int w = 0, h = 0;
    ImageList_GetIconSize(list, &w, &h);
    EXPECT_EQ(w, 2);

    Canvas c(4, 2);
    ImageList_Draw(list, 0, c.dc, 0, 0, ILD_TRANSPARENT);
    ImageList_Draw(list, 1, c.dc, 2, 0, ILD_NORMAL);
    EXPECT_EQ(c.Rows(), (std::vector<std::string>{".R.B", "RRBB"})) << "mask colour pixels left alone";
    ImageList_SetBkColor(list, RGB(0, 0, 0));
    ImageList_Draw(list, 0, c.dc, 0, 0, ILD_NORMAL);
    EXPECT_EQ(c.At(0, 0), RGB(0, 0, 0)) << "a background colour fills them";
    ImageList_DrawMonochrome(list, 1, c.dc, 0, 0, RGB(0, 0, 255));
    EXPECT_EQ(c.Rows(), (std::vector<std::string>{"KB.B", "BBBB"})) << "the opaque pixels stamped";

    ASSERT_EQ(ResourceImages::AddIcon(9002, kSmallIcon), "");
    HICON icon = LoadIconA(nullptr, MAKEINTRESOURCEA(9002));
    HIMAGELIST large = ImageList_Create(8, 8, ILC_COLOR32 | ILC_MASK, 1, 1);
    EXPECT_EQ(ImageList_AddIcon(large, icon), 0);
    Canvas d(8, 8);
    ImageList_Draw(large, 0, d.dc, 0, 0, ILD_TRANSPARENT);
    EXPECT_EQ(d.At(0, 0), RGB(255, 255, 255)) << "scaled, the clear corner too";
    EXPECT_EQ(d.At(7, 7), RGB(255, 0, 0));
    EXPECT_TRUE(ImageList_Remove(list, -1));
    EXPECT_EQ(ImageList_GetImageCount(list), 0);
    EXPECT_FALSE(ImageList_Draw(list, 0, c.dc, 0, 0, ILD_NORMAL));
    EXPECT_TRUE(DestroyIcon(icon));
    EXPECT_FALSE(DestroyIcon(icon));
    ImageList_Destroy(list);
    ImageList_Destroy(large);
    DeleteObject(strip);
    EXPECT_EQ(LoadBitmapA(nullptr, MAKEINTRESOURCEA(9999)), nullptr);
}

TEST(Images, ToolbarColoursFollowTheSystemColours) {
    ASSERT_EQ(ResourceImages::AddBitmap(9003,
                                        "5 1\ncolor k 000000\ncolor d 808080\ncolor l C0C0C0\ncolor w FFFFFF\n"
                                        "color r FF0000\nkdlwr\n"),
              "");
    HBITMAP mapped = CreateMappedBitmap(nullptr, 9003, 0, nullptr, 0);
    Canvas c(5, 1);
    HDC source = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(source, mapped);
    BitBlt(c.dc, 0, 0, 5, 1, source, 0, 0, SRCCOPY);
    EXPECT_EQ(c.At(0, 0), GetSysColor(COLOR_BTNTEXT));
    EXPECT_EQ(c.At(1, 0), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(c.At(2, 0), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(c.At(3, 0), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(c.At(4, 0), RGB(255, 0, 0)) << "other colours stay";
    SelectObject(source, old);
    DeleteDC(source);
    DeleteObject(mapped);
}

TEST(Images, PngFilesCarryTheSurface) {
    TempDirectory dir;
    Surface s(3, 2);
    s.Fill(RECT{0, 0, 3, 2}, 0x123456);
    ASSERT_EQ(PngFile::Write(s, dir.File("a.png")), "");
    std::ifstream in(dir.File("a.png"), std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GT(bytes.size(), 24u);
    EXPECT_EQ(bytes.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
    EXPECT_EQ(static_cast<unsigned char>(bytes[19]), 3u) << "width in IHDR";
    EXPECT_EQ(static_cast<unsigned char>(bytes[23]), 2u) << "height in IHDR";
    EXPECT_NE(PngFile::Write(s, dir.File("missing/a.png")), "");
}
