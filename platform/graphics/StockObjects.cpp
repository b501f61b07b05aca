#include "platform/graphics/StockObjects.h"

#include <array>
#include <cstring>
#include <mutex>

#include "platform/graphics/FontEngine.h"
#include "platform/graphics/GdiObject.h"
#include "platform/graphics/SystemColors.h"
#include "platform/kernel/Immortal.h"

namespace {

constexpr int kStockCount = DEFAULT_GUI_FONT + 1;
constexpr int kSystemColors = COLOR_MENUBAR + 1;

struct Stock {
    std::array<HGDIOBJ, kStockCount> objects{};
    std::array<HBRUSH, kSystemColors> colorBrushes{};
    HBITMAP bitmap = nullptr;

    Stock() {
        auto brush = [](COLORREF c, bool hollow = false) {
            return GdiObject::Adopt(std::make_unique<BrushObject>(c, hollow, true));
        };
        auto pen = [](int style, COLORREF c) {
            return GdiObject::Adopt(std::make_unique<PenObject>(style, 1, c, true));
        };
        objects[WHITE_BRUSH] = brush(RGB(255, 255, 255));
        objects[LTGRAY_BRUSH] = brush(RGB(192, 192, 192));
        objects[GRAY_BRUSH] = brush(RGB(128, 128, 128));
        objects[DKGRAY_BRUSH] = brush(RGB(64, 64, 64));
        objects[BLACK_BRUSH] = brush(RGB(0, 0, 0));
        objects[NULL_BRUSH] = brush(0, true);
        objects[WHITE_PEN] = pen(PS_SOLID, RGB(255, 255, 255));
        objects[BLACK_PEN] = pen(PS_SOLID, RGB(0, 0, 0));
        objects[NULL_PEN] = pen(PS_NULL, 0);
        LOGFONTA system = FontEngine::DefaultGuiFont();
        system.lfHeight = 16;
        system.lfWeight = FW_BOLD;
        std::strcpy(system.lfFaceName, "System");
        objects[SYSTEM_FONT] = GdiObject::Adopt(std::make_unique<FontObject>(system, true));
        objects[DEFAULT_GUI_FONT] = GdiObject::Adopt(std::make_unique<FontObject>(FontEngine::DefaultGuiFont(), true));
        for (int i = 0; i < kSystemColors; ++i) colorBrushes[i] = brush(GetSysColor(i));
        bitmap = GdiObject::Adopt(std::make_unique<BitmapObject>(1, 1, true));
    }
};

Stock& TheStock() {
    static Immortal<Stock> stock;
    return *stock;
}

}  // namespace

HGDIOBJ StockObjects::Get(int which) { return which >= 0 && which < kStockCount ? TheStock().objects[which] : nullptr; }

HBITMAP StockObjects::Bitmap() { return TheStock().bitmap; }

HBRUSH StockObjects::SystemColorBrush(int index) {
    return index >= 0 && index < kSystemColors ? TheStock().colorBrushes[index] : nullptr;
}

void StockObjects::RecolorSystemBrush(int index, COLORREF color) {
    if (index < 0 || index >= kSystemColors) return;
    if (const auto brush = GdiObject::FindAs<BrushObject>(TheStock().colorBrushes[index], GdiKind::Brush))
        brush->color.store(color, std::memory_order_relaxed);
}
