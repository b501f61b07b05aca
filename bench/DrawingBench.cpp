// One 1920 x 1080 frame of the record list: 60 rows of 5 text columns, grid lines and a 16 x 16
// icon a row, drawn through our device contexts; beside it Cairo drawing the same rectangles,
// lines, text and icons into an image surface, in the same run. Ratio = ours / Cairo's.

#include <benchmark/benchmark.h>
#include <cairo.h>

#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include "bench/RatioReporter.h"
#include "platform/graphics/Gdi.h"
#include "platform/graphics/ImageList.h"
#include "platform/graphics/Images.h"
#include "platform/graphics/ResourceImages.h"
#include "platform/graphics/SystemColors.h"
#include "platform/graphics/TextOutput.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kWidth = 1920, kHeight = 1080, kRows = 60, kRowHeight = 17;
constexpr int kColumns[] = {50, 150, 80, 100, 500};  // the list's column widths
constexpr const char* kTexts[] = {"Warning", "12/07/2026 14:05:09", "0x00020004", "Engine",
                                  "Keep-alive timeout from gw-sin-04.quillbridge.net, reconnecting (attempt 120)"};

constexpr char kIcon[] = R"(16 16
color . none
color y FFCC00
color k 000000
.......kk.......
......kyyk......
......kyyk......
.....kyyyyk.....
.....kykkyk.....
....kyykkyyk....
....kyykkyyk....
...kyyykkyyyk...
...kyyykkyyyk...
..kyyyykkyyyyk..
..kyyyyyyyyyyk..
.kyyyyykkyyyyyk.
.kyyyyykkyyyyyk.
kyyyyyyyyyyyyyyk
kkkkkkkkkkkkkkkk
................
)";

struct Ours {
    HDC dc;
    HBITMAP bitmap;
    HIMAGELIST icons;
    HPEN grid;

    Ours() {
        ResourceImages::AddIcon(31000, kIcon);
        dc = CreateCompatibleDC(nullptr);
        bitmap = CreateCompatibleBitmap(dc, kWidth, kHeight);
        SelectObject(dc, bitmap);
        SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
        icons = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 1, 1);
        HICON icon = LoadIconA(nullptr, MAKEINTRESOURCEA(31000));
        ImageList_AddIcon(icons, icon);
        DestroyIcon(icon);
        grid = CreatePen(PS_SOLID, 1, RGB(192, 192, 192));
    }

    void Frame() {
        RECT all{0, 0, kWidth, kHeight};
        FillRect(dc, &all, GetSysColorBrush(COLOR_WINDOW));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        SelectObject(dc, grid);
        for (int row = 0; row < kRows; ++row) {
            const int top = row * kRowHeight;
            int left = 0;
            for (int c = 0; c < 5; ++c) {
                RECT cell{left + (c == 0 ? 20 : 2), top, left + kColumns[c] - 2, top + kRowHeight};
                DrawTextA(dc, kTexts[c], -1, &cell, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
                left += kColumns[c];
                MoveToEx(dc, left - 1, top, nullptr);
                LineTo(dc, left - 1, top + kRowHeight);
            }
            ImageList_Draw(icons, 0, dc, 2, top, ILD_TRANSPARENT);
            MoveToEx(dc, 0, top + kRowHeight - 1, nullptr);
            LineTo(dc, kWidth, top + kRowHeight - 1);
        }
    }
};

struct Theirs {
    cairo_surface_t* surface;
    cairo_t* cr;
    cairo_surface_t* icon;

    Theirs() {
        surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kWidth, kHeight);
        cr = cairo_create(surface);
        cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
        cairo_set_font_size(cr, 11);
        icon = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 16, 16);
        auto* pixels = reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(icon));
        for (int i = 0; i < 16 * 16; ++i) pixels[i] = (i % 3) ? 0xFFFFCC00u : 0;
        cairo_surface_mark_dirty(icon);
    }
    ~Theirs() {
        cairo_surface_destroy(icon);
        cairo_destroy(cr);
        cairo_surface_destroy(surface);
    }

    void Frame() {
        cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_paint(cr);
        cairo_set_line_width(cr, 1);
        for (int row = 0; row < kRows; ++row) {
            const int top = row * kRowHeight;
            int left = 0;
            for (int c = 0; c < 5; ++c) {
                cairo_save(cr);
                cairo_rectangle(cr, left + (c == 0 ? 20 : 2), top, kColumns[c] - (c == 0 ? 22 : 4), kRowHeight);
                cairo_clip(cr);
                cairo_set_source_rgb(cr, 0, 0, 0);
                cairo_move_to(cr, left + (c == 0 ? 20 : 2), top + 12);
                cairo_show_text(cr, kTexts[c]);
                cairo_restore(cr);
                left += kColumns[c];
                cairo_set_source_rgb(cr, 0.75, 0.75, 0.75);
                cairo_move_to(cr, left - 0.5, top);
                cairo_line_to(cr, left - 0.5, top + kRowHeight);
                cairo_stroke(cr);
            }
            cairo_set_source_surface(cr, icon, 2, top);
            cairo_paint(cr);
            cairo_set_source_rgb(cr, 0.75, 0.75, 0.75);
            cairo_move_to(cr, 0, top + kRowHeight - 0.5);
            cairo_line_to(cr, kWidth, top + kRowHeight - 0.5);
            cairo_stroke(cr);
        }
        cairo_surface_flush(surface);
    }
};

void ListFrame(benchmark::State& state) {
    Ours ours;
    Theirs theirs;
    ours.Frame();  // glyph caches warm on both sides
    theirs.Frame();
    Clock::duration oursTime{}, theirsTime{};
    for (auto _ : state) {
        auto a = Clock::now();
        ours.Frame();
        auto b = Clock::now();
        theirs.Frame();
        auto c = Clock::now();
        oursTime += b - a;
        theirsTime += c - b;
        state.SetIterationTime(std::chrono::duration<double>(c - a).count());
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["ours_ms"] = std::chrono::duration<double, std::milli>(oursTime).count() / n;
    state.counters["cairo_ms"] = std::chrono::duration<double, std::milli>(theirsTime).count() / n;
    state.counters["ratio"] = static_cast<double>(oursTime.count()) / static_cast<double>(theirsTime.count());
    state.counters["goal"] = 1.0;
}

BENCHMARK(ListFrame)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
