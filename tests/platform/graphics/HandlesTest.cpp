// Handles of drawing objects, contexts, icons and image lists: a freed one stays refused, and
// objects used on one thread are not freed or miscounted by another.

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/graphics/Gdi.h"
#include "platform/graphics/ImageList.h"
#include "platform/graphics/Images.h"
#include "platform/graphics/ResourceImages.h"
#include "tests/platform/graphics/Canvas.h"

namespace {

constexpr int kIconId = 31500;

struct Kind {
    std::string name;
    std::function<void*()> make;
    std::function<bool(void*)> free;   // true when it freed something
    std::function<bool(void*)> alive;  // whether the handle finds an object
};

// GetObjectType looks a handle up among contexts and drawing objects alike.
std::function<bool(void*)> Is(DWORD type) {
    return [type](void* h) { return GetObjectType(static_cast<HGDIOBJ>(h)) == type; };
}
bool Delete(void* h) { return DeleteObject(static_cast<HGDIOBJ>(h)); }

std::vector<Kind> Kinds() {
    return {
        {"pen", [] { return CreatePen(PS_SOLID, 1, RGB(1, 2, 3)); }, Delete, Is(OBJ_PEN)},
        {"brush", [] { return CreateSolidBrush(RGB(1, 2, 3)); }, Delete, Is(OBJ_BRUSH)},
        {"font",
         [] {
             LOGFONTA f{};
             return CreateFontIndirectA(&f);
         },
         Delete, Is(OBJ_FONT)},
        {"bitmap", [] { return CreateCompatibleBitmap(nullptr, 4, 4); }, Delete, Is(OBJ_BITMAP)},
        {"region", [] { return CreateRectRgn(0, 0, 4, 4); }, Delete, Is(OBJ_REGION)},
        {"context", [] { return static_cast<void*>(CreateCompatibleDC(nullptr)); },
         [](void* h) { return DeleteDC(static_cast<HDC>(h)) != FALSE; }, Is(OBJ_MEMDC)},
        {"image list", [] { return static_cast<void*>(ImageList_Create(4, 4, ILC_MASK, 1, 1)); },
         [](void* h) { return ImageList_Destroy(static_cast<HIMAGELIST>(h)) != FALSE; },
         [](void* h) {
             int w = 0, height = 0;
             return ImageList_GetIconSize(static_cast<HIMAGELIST>(h), &w, &height) != FALSE;
         }},
        {"icon", [] { return static_cast<void*>(LoadIconA(nullptr, MAKEINTRESOURCEA(kIconId))); },
         [](void* h) { return DestroyIcon(static_cast<HICON>(h)) != FALSE; },
         [](void* h) {
             Canvas c(4, 4);
             return DrawIcon(c.dc, 0, 0, static_cast<HICON>(h)) != FALSE;
         }},
    };
}

TEST(Handles, AFreedHandleNeverFindsAnObjectMadeLater) {
    ASSERT_EQ(ResourceImages::AddIcon(kIconId, "2 2\ncolor r FF0000\nrr\nrr\n"), "");
    // Contexts alive throughout, as many as there are drawing objects: a handle of one kind must
    // never be taken for one of the other.
    std::vector<HDC> contexts;
    for (int i = 0; i < 200; ++i) contexts.push_back(CreateCompatibleDC(nullptr));
    for (const Kind& kind : Kinds()) {
        void* freed = kind.make();
        ASSERT_NE(freed, nullptr) << kind.name;
        ASSERT_TRUE(kind.alive(freed)) << kind.name;
        ASSERT_TRUE(kind.free(freed)) << kind.name;
        // Allocators hand a freed block out again first: the later objects take its place.
        std::vector<void*> later;
        for (int i = 0; i < 20; ++i) later.push_back(kind.make());
        EXPECT_FALSE(kind.alive(freed)) << kind.name;
        EXPECT_FALSE(kind.free(freed)) << kind.name << ": freed once only";
        for (void* h : later) {
            EXPECT_NE(h, freed) << kind.name;
            EXPECT_TRUE(kind.alive(h)) << kind.name;
            EXPECT_TRUE(kind.free(h)) << kind.name << ": the later ones are still there";
        }
    }
    for (HDC dc : contexts) EXPECT_TRUE(DeleteDC(dc));
}

TEST(Handles, ContextsMadeOnManyThreadsCountTheirSelectionsRight) {
    HPEN shared = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
    constexpr int kThreads = 4, kRounds = 5000;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([shared] {
            for (int i = 0; i < kRounds; ++i) {
                HDC dc = CreateCompatibleDC(nullptr);  // selects the stock pen, brush, font and bitmap
                SelectObject(dc, shared);
                SaveDC(dc);
                SelectObject(dc, GetStockObject(WHITE_PEN));
                RestoreDC(dc, -1);
                DeleteDC(dc);
            }
        });
    for (auto& t : threads) t.join();
    EXPECT_TRUE(DeleteObject(shared)) << "no selection left counted";
    EXPECT_FALSE(DeleteObject(GetStockObject(BLACK_PEN)));
}

// A sanitizer build sees a brush freed under the FillRect that uses it.
TEST(Handles, AnObjectDeletedOnOneThreadIsNotFreedUnderAnother) {
    Canvas canvas(8, 8);
    std::atomic<HBRUSH> current{CreateSolidBrush(RGB(255, 0, 0))};
    std::atomic<bool> done{false};
    std::thread churn([&] {
        for (int i = 0; !done; ++i) {
            HBRUSH next = CreateSolidBrush(RGB(0, 0, i % 2 ? 255 : 254));
            DeleteObject(current.exchange(next));
        }
    });
    const RECT all{0, 0, 8, 8};
    for (int i = 0; i < 20000; ++i) FillRect(canvas.dc, &all, current.load());
    done = true;
    churn.join();
    const COLORREF c = canvas.At(3, 3);
    EXPECT_TRUE(c == RGB(255, 255, 255) || c == RGB(255, 0, 0) || c == RGB(0, 0, 255) || c == RGB(0, 0, 254))
        << std::hex << c;
    EXPECT_TRUE(DeleteObject(current.load()));
}

}  // namespace
