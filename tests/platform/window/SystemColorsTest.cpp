// Changing the colour scheme: the colours and their brushes follow, bad arguments change nothing,
// and every top-level window is told on its own thread without holding the caller up.

#include <atomic>
#include <future>
#include <thread>

#include "platform/graphics/SystemColors.h"
#include "platform/kernel/LastError.h"
#include "platform/kernel/Threads.h"
#include "tests/platform/window/SchemeRestorer.h"
#include "tests/platform/window/WindowTesting.h"

namespace {

constexpr COLORREF kRed = RGB(200, 30, 40);
constexpr COLORREF kGreen = RGB(20, 180, 60);

class SystemColorsTest : public WindowTest {
protected:
    SchemeRestorer scheme;
};

// What `brush` paints.
COLORREF Painted(HBRUSH brush) {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, 4, 4);
    HGDIOBJ old = SelectObject(dc, bitmap);
    const RECT r{0, 0, 4, 4};
    FillRect(dc, &r, brush);
    const COLORREF c = GetPixel(dc, 1, 1);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return c;
}

TEST_F(SystemColorsTest, ColoursAndTheirBrushesChangeAndComeBack) {
    const COLORREF face = GetSysColor(COLOR_BTNFACE), window = GetSysColor(COLOR_WINDOW);
    const HBRUSH faceBrush = GetSysColorBrush(COLOR_BTNFACE);
    {
        SchemeRestorer inner;
        const int indexes[] = {COLOR_BTNFACE, COLOR_HIGHLIGHT, COLOR_MENUBAR};
        // The high byte (a palette flag) is no part of a system colour.
        const COLORREF colors[] = {kRed, kGreen | 0x02000000, kGreen};
        ASSERT_TRUE(SetSysColors(3, indexes, colors));
        EXPECT_EQ(GetSysColor(COLOR_BTNFACE), kRed);
        EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), kGreen);
        EXPECT_EQ(GetSysColor(COLOR_MENUBAR), kGreen);
        EXPECT_EQ(GetSysColor(COLOR_WINDOW), window) << "not named, not changed";
        EXPECT_EQ(GetSysColorBrush(COLOR_BTNFACE), faceBrush) << "the same brush";
        EXPECT_EQ(Painted(faceBrush), kRed);
        EXPECT_EQ(Painted(GetSysColorBrush(COLOR_HIGHLIGHT)), kGreen);
        EXPECT_EQ(Painted(reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)), kRed) << "a colour index as a brush";
    }
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), face);
    EXPECT_EQ(Painted(faceBrush), face);
}

TEST_F(SystemColorsTest, BadArgumentsChangeNothingAndTellNoOne) {
    HWND top = TopLevel();
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const COLORREF colors[] = {kRed, kRed};
    struct Case {
        const char* name;
        int count;
        std::vector<int> indexes;
        bool nullColors;
    } cases[] = {
        {"negative count", -1, {COLOR_BTNFACE}, false},
        {"no indexes", 1, {}, false},
        {"no colours", 1, {COLOR_BTNFACE}, true},
        {"below the first", 2, {COLOR_BTNFACE, -1}, false},
        {"past the last", 2, {COLOR_BTNFACE, COLOR_MENUBAR + 1}, false},
    };
    for (const Case& c : cases) {
        SetLastError(0);
        EXPECT_FALSE(SetSysColors(c.count, c.indexes.empty() ? nullptr : c.indexes.data(), c.nullColors ? nullptr : colors))
            << c.name;
        EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER) << c.name;
        EXPECT_EQ(GetSysColor(COLOR_BTNFACE), face) << c.name << ": the good index before the bad one too";
        EXPECT_EQ(Painted(GetSysColorBrush(COLOR_BTNFACE)), face) << c.name;
    }
    EXPECT_TRUE(SetSysColors(0, nullptr, nullptr)) << "nothing to change";
    PumpAll();
    EXPECT_EQ(recorder.Count(top, WM_SYSCOLORCHANGE), 0);
}

TEST_F(SystemColorsTest, TopLevelWindowsAreToldBeforeTheCallReturnsTheirChildrenAreNot) {
    HWND top = TopLevel();
    HWND child = recorder.Create(top, RECT{0, 0, 50, 50});
    HWND owned = recorder.Create(top, RECT{500, 500, 550, 550}, WS_POPUP);
    COLORREF seen = 0;
    recorder.On(WM_SYSCOLORCHANGE, [&](HWND, UINT, WPARAM, LPARAM, bool&) -> LRESULT {
        seen = GetSysColor(COLOR_BTNFACE);
        return 0;
    });
    const int index = COLOR_BTNFACE;
    ASSERT_TRUE(SetSysColors(1, &index, &kRed));
    EXPECT_EQ(recorder.Count(top, WM_SYSCOLORCHANGE), 1);
    EXPECT_EQ(recorder.Count(owned, WM_SYSCOLORCHANGE), 1) << "an owned popup is a top-level window";
    EXPECT_EQ(seen, kRed) << "told after the change";
    PumpAll();
    EXPECT_EQ(recorder.Count(child, WM_SYSCOLORCHANGE), 0) << "children hear it from their parent, if at all";
    EXPECT_EQ(recorder.Count(top, WM_SYSCOLORCHANGE), 1) << "told once";
}

TEST_F(SystemColorsTest, AWindowOfAnotherThreadIsToldOnItsThreadWithoutHoldingTheCallerUp) {
    std::promise<HWND> created;
    std::atomic<bool> pump{false}, stop{false};
    std::atomic<DWORD> toldOn{0};
    std::atomic<COLORREF> seen{0};
    std::thread worker([&] {
        Recorder& r = Recorder::Instance();
        r.On(WM_SYSCOLORCHANGE, [&](HWND, UINT, WPARAM, LPARAM, bool&) -> LRESULT {
            seen = GetSysColor(COLOR_WINDOW);
            toldOn = GetCurrentThreadId();
            return 0;
        });
        HWND hwnd = r.Create(nullptr, RECT{0, 0, 10, 10}, WS_POPUP);
        created.set_value(hwnd);
        // Not looking at its queue until told to: the change must not wait for it.
        while (!pump) std::this_thread::yield();
        PumpUntil([&] { return stop.load(); }, std::chrono::minutes(5));
        DestroyWindow(hwnd);
    });
    created.get_future().get();
    const int index = COLOR_WINDOW;
    EXPECT_TRUE(SetSysColors(1, &index, &kGreen));
    EXPECT_EQ(toldOn.load(), 0u) << "its thread was not looking";
    pump = true;
    const bool told = PumpUntil([&] { return toldOn.load() != 0; });
    stop = true;
    worker.join();
    ASSERT_TRUE(told);
    EXPECT_NE(toldOn.load(), GetCurrentThreadId());
    EXPECT_EQ(seen.load(), kGreen);
}

TEST_F(SystemColorsTest, APointerMessageIsNotNotifiedAcrossThreads) {
    HWND top = TopLevel();
    EXPECT_TRUE(SendNotifyMessageA(top, WM_USER, 1, 0));
    EXPECT_EQ(recorder.Count(top, WM_USER), 1) << "its own thread's window: at once";
    std::promise<HWND> created;
    std::atomic<bool> stop{false};
    std::thread worker([&] {
        HWND hwnd = Recorder::Instance().Create(nullptr, RECT{0, 0, 10, 10}, WS_POPUP);
        created.set_value(hwnd);
        PumpUntil([&] { return stop.load(); }, std::chrono::minutes(5));
        DestroyWindow(hwnd);
    });
    HWND other = created.get_future().get();
    SetLastError(0);
    EXPECT_FALSE(SendNotifyMessageA(other, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("gone soon")));
    EXPECT_EQ(GetLastError(), ERROR_MESSAGE_SYNC_ONLY);
    stop = true;
    worker.join();
    EXPECT_FALSE(SendNotifyMessageA(other, WM_USER, 0, 0)) << "its window is gone";
}

}  // namespace
