// Message maps: dispatch, chaining to the base class, Default, reflection to controls, creation
// through the framework's window procedure, and class records.

#include "platform/framework/AfxMsg.h"
#include "platform/framework/CBrush.h"
#include "platform/framework/CView.h"
#include "platform/graphics/SystemColors.h"
#include "tests/platform/framework/FrameworkTesting.h"

namespace {

constexpr UINT kPrivate = 0x401;

class CBaseWnd : public CWnd {
    DECLARE_DYNCREATE(CBaseWnd)

public:
    std::vector<std::string> seen;

protected:
    DECLARE_MESSAGE_MAP()
    int OnCreate(LPCREATESTRUCTA cs) {
        seen.push_back("base create");
        return CWnd::OnCreate(cs);
    }
    void OnSize(UINT type, int cx, int cy) {
        seen.push_back("base size " + std::to_string(cx) + "x" + std::to_string(cy));
        CWnd::OnSize(type, cx, cy);
    }
    LRESULT OnPrivate(WPARAM w, LPARAM l) {
        seen.push_back("base private");
        return static_cast<LRESULT>(w + static_cast<WPARAM>(l));
    }
};
IMPLEMENT_DYNCREATE(CBaseWnd, CWnd)
BEGIN_MESSAGE_MAP(CBaseWnd, CWnd)
ON_WM_CREATE()
ON_WM_SIZE()
ON_MESSAGE(kPrivate, &CBaseWnd::OnPrivate)
END_MESSAGE_MAP()

class CDerivedWnd : public CBaseWnd {
    DECLARE_DYNCREATE(CDerivedWnd)

public:
    static inline int alive = 0;
    CDerivedWnd() { ++alive; }
    ~CDerivedWnd() override { --alive; }

protected:
    DECLARE_MESSAGE_MAP()
    void OnSize(UINT type, int cx, int cy) {
        seen.push_back("derived size");
        CBaseWnd::OnSize(type, cx, cy);
    }
    void OnTimer(UINT_PTR id) { seen.push_back("derived timer " + std::to_string(id)); }
};
IMPLEMENT_DYNCREATE(CDerivedWnd, CBaseWnd)
BEGIN_MESSAGE_MAP(CDerivedWnd, CBaseWnd)
ON_WM_SIZE()
ON_WM_TIMER()
END_MESSAGE_MAP()

// A control's own object, answering some of its notifications and colours itself.
class CReflectingWnd : public CWnd {
public:
    CBrush editBrush{RGB(1, 2, 3)};
    BOOL passClickOn = TRUE;

protected:
    DECLARE_MESSAGE_MAP()
    void OnCustomDraw(NMHDR*, LRESULT* result) {
        Trail().push_back("control custom draw");
        *result = CDRF_NOTIFYITEMDRAW;
    }
    BOOL OnClickReflect(NMHDR*, LRESULT*) {
        Trail().push_back("control click");
        return !passClickOn;
    }
    HBRUSH CtlColor(CDC*, UINT kind) { return kind == CTLCOLOR_EDIT ? static_cast<HBRUSH>(editBrush) : nullptr; }
};
BEGIN_MESSAGE_MAP(CReflectingWnd, CWnd)
ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, &CReflectingWnd::OnCustomDraw)
ON_NOTIFY_REFLECT_EX(NM_CLICK, &CReflectingWnd::OnClickReflect)
ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

constexpr int kControlId = 77;

class CParentWnd : public CWnd {
public:
    UINT lastColourKind = 99;

protected:
    DECLARE_MESSAGE_MAP()
    void OnClick(NMHDR* header, LRESULT* result) {
        Trail().push_back("parent click from " + std::to_string(header->idFrom));
        *result = 5;
    }
    void OnCustomDrawSeen(NMHDR*, LRESULT*) { Trail().push_back("parent custom draw"); }
    HBRUSH OnCtlColor(CDC* dc, CWnd* control, UINT kind) {
        lastColourKind = kind;
        Trail().push_back("parent colour for " + std::to_string(control ? control->GetDlgCtrlID() : -1));
        return CWnd::OnCtlColor(dc, control, kind);
    }
};
BEGIN_MESSAGE_MAP(CParentWnd, CWnd)
ON_NOTIFY(NM_CLICK, kControlId, &CParentWnd::OnClick)
ON_NOTIFY(NM_CUSTOMDRAW, kControlId, &CParentWnd::OnCustomDrawSeen)
ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

class MessageMap : public FrameworkTest {};

TEST_F(MessageMap, DerivedEntriesComeFirstAndChainToTheBaseWhatTheyDoNotHandle) {
    CDerivedWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "maps", WS_POPUP, CRect(10, 10, 110, 60), nullptr, 0));
    EXPECT_EQ(CWnd::FromHandlePermanent(wnd.m_hWnd), &wnd);
    wnd.seen.clear();

    wnd.MoveWindow(10, 10, 120, 70);
    EXPECT_EQ(wnd.SendMessage(kPrivate, 2, 3), 5) << "an entry of the base class's map";
    wnd.SendMessage(WM_TIMER, 9);
    EXPECT_EQ(wnd.seen,
              (std::vector<std::string>{"derived size", "base size 120x70", "base private", "derived timer 9"}));

    // Nobody maps WM_SETTEXT: the window's own procedure keeps the text.
    wnd.SetWindowText("kept by DefWindowProc");
    EXPECT_EQ(wnd.GetWindowText(), "kept by DefWindowProc");
}

TEST_F(MessageMap, ASubclassedWindowsOwnProcedureGetsWhatTheMapPassesOn) {
    HWND top = TopLevel();
    HWND child = recorder.Create(top, RECT{0, 0, 50, 20});
    CBaseWnd wnd;
    ASSERT_TRUE(wnd.SubclassWindow(child));
    recorder.Log().clear();

    MoveWindow(child, 0, 0, 60, 30, TRUE);
    SendMessageA(child, WM_MOVE, 0, MAKELPARAM(1, 2));
    EXPECT_EQ(wnd.seen, (std::vector<std::string>{"base size 60x30"}));
    EXPECT_EQ(recorder.Count(child, WM_SIZE), 1) << "OnSize passed it on with Default";
    EXPECT_EQ(recorder.Count(child, WM_MOVE), 1) << "unmapped messages go straight to it";

    EXPECT_EQ(wnd.UnsubclassWindow(), child);
    SendMessageA(child, kPrivate, 1, 1);
    EXPECT_EQ(wnd.seen.size(), 1u) << "after unsubclassing the object hears nothing";
    EXPECT_EQ(recorder.Count(child, kPrivate), 1);
}

TEST_F(MessageMap, CreationReachesTheObjectFromNcCreateAndAnAdoptedObjectGoesWithItsWindow) {
    // A class of the window system's own (not the framework's) is subclassed as it is created.
    auto owned = std::make_unique<CDerivedWnd>();
    CDerivedWnd* wnd = owned.get();
    ASSERT_TRUE(wnd->CreateEx(0, recorder.Class(), "", WS_POPUP, CRect(0, 0, 30, 30), nullptr, 0));
    EXPECT_EQ(wnd->seen.front(), "base create");
    EXPECT_EQ(recorder.Count(wnd->m_hWnd, WM_CREATE), 1) << "WM_CREATE went on to the class's procedure";
    EXPECT_EQ(recorder.Count(wnd->m_hWnd, WM_NCCREATE), 1);

    const HWND hwnd = wnd->m_hWnd;
    CWnd::Adopt(std::move(owned));
    EXPECT_EQ(CDerivedWnd::alive, 1);
    DestroyWindow(hwnd);
    EXPECT_EQ(CDerivedWnd::alive, 0) << "freed after WM_NCDESTROY";
    EXPECT_EQ(recorder.Count(hwnd, WM_NCDESTROY), 1);
    EXPECT_EQ(CWnd::FromHandlePermanent(hwnd), nullptr);
}

TEST_F(MessageMap, AnObjectThatGoesFirstLeavesItsWindowToItsOwnProcedureAndDestroysIt) {
    HWND hwnd;
    {
        CBaseWnd wnd;
        ASSERT_TRUE(wnd.CreateEx(0, recorder.Class(), "", WS_POPUP, CRect(0, 0, 30, 30), nullptr, 0));
        hwnd = wnd.m_hWnd;
        recorder.Log().clear();
    }
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(recorder.Count(hwnd, WM_DESTROY), 1) << "the class's procedure saw its end";
}

TEST_F(MessageMap, ControlsAnswerTheirOwnNotificationsAndColoursBeforeTheParent) {
    CParentWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE, CRect(0, 0, 100, 100), nullptr, 0));
    CReflectingWnd control;
    ASSERT_TRUE(control.Create(nullptr, "", WS_VISIBLE, CRect(0, 0, 10, 10), &parent, kControlId));
    auto notify = [&](UINT code) {
        NMHDR header{control.m_hWnd, kControlId, code};
        return parent.SendMessage(WM_NOTIFY, kControlId, reinterpret_cast<LPARAM>(&header));
    };
    HDC hdc = GetDC(parent.m_hWnd);
    auto colour = [&](UINT message) {
        return parent.SendMessage(message, reinterpret_cast<WPARAM>(hdc), reinterpret_cast<LPARAM>(control.m_hWnd));
    };

    struct Case {
        const char* what;
        std::function<LRESULT()> send;
        LRESULT result;
        std::vector<std::string> trail;
    };
    const Case cases[] = {
        {"custom draw answered by the control",
         [&] { return notify(NM_CUSTOMDRAW); },
         CDRF_NOTIFYITEMDRAW,
         {"control custom draw"}},
        {"a click the control passes on",
         [&] { return notify(NM_CLICK); },
         5,
         {"control click", "parent click from 77"}},
        {"a click the control keeps",
         [&] {
             control.passClickOn = FALSE;
             return notify(NM_CLICK);
         },
         0,
         {"control click"}},
        {"an edit colour the control gives",
         [&] { return colour(WM_CTLCOLOREDIT); },
         reinterpret_cast<LRESULT>(static_cast<HBRUSH>(control.editBrush)),
         {}},
        {"a static colour left to the parent",
         [&] { return colour(WM_CTLCOLORSTATIC); },
         reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_3DFACE)),
         {"parent colour for 77"}},
    };
    for (const Case& c : cases) {
        Trail().clear();
        EXPECT_EQ(c.send(), c.result) << c.what;
        EXPECT_EQ(Trail(), c.trail) << c.what;
    }
    EXPECT_EQ(parent.lastColourKind, CTLCOLOR_STATIC);
    ReleaseDC(parent.m_hWnd, hdc);
}

TEST_F(MessageMap, ClassRecordsMakeObjectsOfTheirClassAndKnowTheirBases) {
    std::unique_ptr<CObject> made = RUNTIME_CLASS(CDerivedWnd)->CreateObject();
    ASSERT_NE(dynamic_cast<CDerivedWnd*>(made.get()), nullptr);
    EXPECT_TRUE(made->IsKindOf(RUNTIME_CLASS(CBaseWnd)));
    EXPECT_TRUE(made->IsKindOf(RUNTIME_CLASS(CCmdTarget)));
    EXPECT_FALSE(made->IsKindOf(RUNTIME_CLASS(CView)));
    EXPECT_STREQ(made->GetRuntimeClass()->m_lpszClassName, "CDerivedWnd");
    EXPECT_EQ(RUNTIME_CLASS(CView)->CreateObject(), nullptr) << "not dynamically creatable";
}

TEST_F(MessageMap, FromHandleGivesTheOwnerOrATemporaryThatIdleTimeFrees) {
    HWND plain = TopLevel();
    CWnd* temporary = CWnd::FromHandle(plain);
    ASSERT_NE(temporary, nullptr);
    EXPECT_EQ(temporary->m_hWnd, plain);
    EXPECT_EQ(CWnd::FromHandle(plain), temporary) << "the same temporary until idle time";
    EXPECT_EQ(CWnd::FromHandlePermanent(plain), nullptr);
    app.OnIdle(1);  // outside Run: a modal loop's idle time keeps them
    EXPECT_EQ(CWnd::FromHandle(plain), temporary);
    CWnd::DeleteTempMap();
    EXPECT_TRUE(IsWindow(plain)) << "temporaries never destroy their windows";
}

}  // namespace
