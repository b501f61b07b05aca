// Resources by id: the string table with the framework's own texts, toolbar resources, and bitmaps
// through the drawing wrappers.

#include "platform/framework/AfxRes.h"
#include "platform/framework/CBitmap.h"
#include "platform/framework/CDC.h"
#include "platform/framework/CImageList.h"
#include "platform/framework/StringTable.h"
#include "platform/framework/ToolbarResource.h"
#include "platform/graphics/ResourceImages.h"
#include "tests/platform/framework/FrameworkTesting.h"

namespace {

TEST(Resources, StringsComeFromTheProgramsTableBeforeTheFrameworksOwn) {
    StringTable::Register({{40001, "Refresh logs\nRefresh"}, {AFX_IDS_IDLEMESSAGE, "Idle"}});
    struct Case {
        UINT id;
        std::string text;
    };
    for (const Case& c : {Case{40001, "Refresh logs\nRefresh"}, Case{AFX_IDS_IDLEMESSAGE, "Idle"},
                          Case{AFX_IDP_FAILED_TO_CREATE_DOC, "Failed to create empty document."}, Case{40002, ""}})
        EXPECT_EQ(AfxLoadString(c.id), c.text) << c.id;
    StringTable::Unregister(AFX_IDS_IDLEMESSAGE);
    EXPECT_EQ(AfxLoadString(AFX_IDS_IDLEMESSAGE), "Ready") << "the framework's text shows again";

    char buffer[8];
    EXPECT_EQ(LoadStringA(nullptr, 40001, buffer, sizeof buffer), 7);
    EXPECT_STREQ(buffer, "Refresh") << "cut to the buffer and terminated";
    EXPECT_EQ(LoadStringA(nullptr, 40002, buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, "");

    const std::string docString = "Quillbridge Log Viewer\n\npelorin\n\n\npelorin.Document\npelorin Document";
    const std::vector<std::string> pieces{"Quillbridge Log Viewer", "", "pelorin", "", "", "pelorin.Document",
                                          "pelorin Document"};
    std::string piece;
    for (int i = 0; i < 7; ++i) {
        EXPECT_TRUE(AfxExtractSubString(piece, docString, i));
        EXPECT_EQ(piece, pieces[static_cast<std::size_t>(i)]) << i;
    }
    EXPECT_FALSE(AfxExtractSubString(piece, docString, 7));
    EXPECT_EQ(piece, "");
    StringTable::Unregister(40001);
}

TEST(Resources, ToolbarResourcesAndBitmapsAreFoundByTheirIds) {
    ToolbarResource::Register(9128, ToolbarResource{1, 16, 15, {32804, 32805, 0, 32790}});
    const auto toolbar = ToolbarResource::Find(9128);
    ASSERT_TRUE(toolbar.has_value());
    EXPECT_EQ(toolbar->wWidth, 16);
    EXPECT_EQ(toolbar->wHeight, 15);
    EXPECT_EQ(toolbar->items, (std::vector<WORD>{32804, 32805, 0, 32790}));
    EXPECT_FALSE(ToolbarResource::Find(9129).has_value());

    ASSERT_EQ(ResourceImages::AddBitmap(9130, "4 2\ncolor . C0C0C0\ncolor r FF0000\n.r.r\nrrrr\n"), "");
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.LoadBitmap(9130));
    BITMAP info{};
    ASSERT_TRUE(bitmap.GetBitmap(&info));
    EXPECT_EQ(info.bmWidth, 4);
    EXPECT_FALSE(CBitmap().LoadBitmap(9131));

    CImageList pictures;
    ASSERT_TRUE(pictures.Create(9130, 2, 0, RGB(192, 192, 192)));
    EXPECT_EQ(pictures.GetImageCount(), 2) << "one picture per 2 pixels of width";
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    CBitmap canvas;
    ASSERT_TRUE(canvas.CreateCompatibleBitmap(&dc, 2, 2));
    CBitmap* old = dc.SelectObject(&canvas);
    dc.FillSolidRect(0, 0, 2, 2, RGB(0, 0, 255));
    pictures.Draw(&dc, 1, POINT{0, 0}, ILD_TRANSPARENT);
    EXPECT_EQ(dc.GetPixel(0, 0), RGB(0, 0, 255)) << "the mask colour stays transparent";
    EXPECT_EQ(dc.GetPixel(1, 0), RGB(255, 0, 0));
    dc.SelectObject(old);
    ToolbarResource::Unregister(9128);
}

}  // namespace
