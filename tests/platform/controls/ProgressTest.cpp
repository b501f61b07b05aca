// The progress bar: its numbers, stepping past the end, steps sent from another thread, and the
// block and smooth looks.

#include <atomic>
#include <thread>

#include "platform/controls/Progress.h"
#include "tests/platform/controls/BarsTesting.h"

namespace {

class ProgressTest : public BarsTest {
protected:
    HWND Bar(DWORD style = 0, RECT r = RECT{10, 10, 110, 30}) {
        return Control(PROGRESS_CLASSA, TopLevel(), r, WS_CHILD | WS_VISIBLE | style);
    }
    static LRESULT Send(HWND bar, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return SendMessageA(bar, message, wParam, lParam);
    }
};

TEST_F(ProgressTest, RangesPositionsAndStepsAnswerAsThePlatformDoes) {
    HWND bar = Bar();
    // The defaults: 0..100, step 10, at 0.
    PBRANGE range{};
    EXPECT_EQ(Send(bar, PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range)), 0);
    EXPECT_EQ(range.iHigh, 100);
    EXPECT_EQ(Send(bar, PBM_SETSTEP, 5), 10);
    EXPECT_EQ(Send(bar, PBM_GETSTEP), 5);

    struct Case {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        LRESULT result;
        int pos;  // afterwards
    };
    const Case cases[] = {
        {PBM_SETPOS, 40, 0, 0, 40},
        {PBM_SETPOS, 250, 0, 40, 100},  // clamped to the range
        {PBM_SETPOS, static_cast<WPARAM>(-7), 0, 100, 0},
        {PBM_DELTAPOS, 30, 0, 0, 30},
        {PBM_DELTAPOS, static_cast<WPARAM>(-50), 0, 30, 0},
        {PBM_STEPIT, 0, 0, 0, 5},
        {PBM_SETRANGE, 0, MAKELPARAM(10, 20), MAKELPARAM(0, 100), 10},  // the old range, packed; the position clamped
        {PBM_SETRANGE32, static_cast<WPARAM>(-1000), 70000, MAKELPARAM(10, 20), 10},
        {PBM_SETPOS, 65000, 0, 10, 65000},
        {PBM_SETPOS, static_cast<WPARAM>(-2000), 0, 65000, -1000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "message " << c.message << " wParam " << static_cast<long>(c.wParam));
        EXPECT_EQ(Send(bar, c.message, c.wParam, c.lParam), c.result);
        EXPECT_EQ(Send(bar, PBM_GETPOS), c.pos);
    }
    EXPECT_EQ(Send(bar, PBM_GETRANGE, TRUE, 0), -1000);
    EXPECT_EQ(Send(bar, PBM_GETRANGE, FALSE, 0), 70000);
}

TEST_F(ProgressTest, SteppingPastEitherEndStartsOverFromTheOther) {
    struct Case {
        int low, high, step, start;
        std::vector<int> after;  // the positions after each step
    };
    const Case cases[] = {
        {0, 100, 10, 80, {90, 100, 10, 20}},
        {0, 100, 30, 90, {20, 50}},  // 120 is 20 past the end
        {0, 10, 25, 0, {5, 0, 5}},   // more than a whole range at once
        {0, 100, -30, 20, {90, 60}},
        {5, 5, 1, 5, {5, 5}},                                    // an empty range stays put
        {-2147483647, 2147483647, 2147483647, 2147483647, {0}},  // no overflow at the limits
    };
    for (const Case& c : cases) {
        HWND bar = Bar();
        Send(bar, PBM_SETRANGE32, static_cast<WPARAM>(c.low), c.high);
        Send(bar, PBM_SETSTEP, static_cast<WPARAM>(c.step));
        Send(bar, PBM_SETPOS, static_cast<WPARAM>(c.start));
        int previous = c.start;
        for (int expected : c.after) {
            SCOPED_TRACE(testing::Message() << c.low << ".." << c.high << " step " << c.step << " to " << expected);
            EXPECT_EQ(Send(bar, PBM_STEPIT), previous);
            EXPECT_EQ(Send(bar, PBM_GETPOS), expected);
            previous = expected;
        }
        DestroyAllWindows();
    }
}

TEST_F(ProgressTest, AnotherThreadStepsItThroughSendsAndGetsNothingOnceItIsGone) {
    HWND bar = Bar();
    Send(bar, PBM_SETRANGE32, 0, 1000);
    Send(bar, PBM_SETSTEP, 1);
    constexpr int kSteps = 500;
    std::atomic<int> sent{0};
    std::atomic<bool> inOrder{true};
    std::thread worker([&] {
        for (int i = 0; i < kSteps; ++i) {
            if (SendMessageA(bar, PBM_STEPIT, 0, 0) != i) inOrder = false;
            ++sent;
        }
    });
    EXPECT_TRUE(PumpUntil([&] { return sent == kSteps; }));
    worker.join();
    EXPECT_TRUE(inOrder);
    EXPECT_EQ(Send(bar, PBM_GETPOS), kSteps);

    DestroyWindow(bar);
    LRESULT late = -1;
    std::thread([&] { late = SendMessageA(bar, PBM_STEPIT, 0, 0); }).join();
    EXPECT_EQ(late, 0);
}

TEST_F(ProgressTest, BlocksLeaveGapsAndTheSmoothBarFillsItsShare) {
    // 100 x 20: inside the frame and its gap the bar is 96 x 16; blocks are 10 wide, 2 apart.
    const COLORREF fill = Sys(COLOR_HIGHLIGHT), face = Sys(COLOR_3DFACE);
    struct Case {
        DWORD style;
        int pos;
        int filled;     // highlight pixels in the bar's row 10
        int lastBlock;  // where the last filled column is
    };
    const Case cases[] = {
        {PBS_SMOOTH, 50, 48, 49},
        {PBS_SMOOTH, 0, 0, -1},
        {0, 50, 40, 47},   // 48 pixels filled: four whole blocks
        {0, 100, 80, 95},  // eight blocks
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "style " << c.style << " at " << c.pos);
        HWND bar = Bar(c.style, RECT{10, 10, 110, 30});
        Send(bar, PBM_SETPOS, static_cast<WPARAM>(c.pos));
        const Shot shot = Take(bar);
        EXPECT_EQ(shot.Count(RECT{0, 10, 100, 11}, fill), c.filled);
        int last = -1;
        for (int x = 0; x < 100; ++x)
            if (shot.At(x, 10) == fill) last = x;
        EXPECT_EQ(last, c.lastBlock);
        EXPECT_EQ(shot.At(1, 1), face);  // the gap inside the frame
        EXPECT_EQ(shot.At(0, 0), Sys(COLOR_3DSHADOW));
        EXPECT_EQ(shot.At(99, 19), Sys(COLOR_3DHILIGHT));
        if (!(c.style & PBS_SMOOTH) && c.pos) {
            EXPECT_EQ(shot.At(12, 10), face);  // between blocks 1 and 2
        }
        DestroyAllWindows();
    }
}

}  // namespace
