#pragma once
// The control-bar layer of the flat bars: flat one-pixel borders (a highlight line on the top and
// left sides, a shadow line on the bottom and right ones, for the sides whose border bits are set),
// a gripper of raised bars at the leading end of a docked bar, and the framework's 3D border
// when the bar lives in a rebar. Borders and gripper lie in the non-client area.

#include "platform/framework/CControlBar.h"

class CFlatBarBase : public CControlBar {
    DECLARE_DYNAMIC(CFlatBarBase)

public:
    // The parts of the bar style word a flat bar keeps.
    static constexpr DWORD kAlignMask = CBRS_ALIGN_ANY;
    static constexpr DWORD kBorderMask = CBRS_BORDER_ANY;
    static constexpr DWORD kBarStyleMask = CBRS_ALL;  // alignment, borders, 3D, floating, gripper, ...

    ~CFlatBarBase() override;

    // Keeps only the bar style bits; borders and gripper are measured again when they change.
    void SetBarStyle(DWORD dwStyle);

    void CalcInsideRect(CRect& rect, BOOL bHorz) const override;
    void DrawBorders(CDC* pDC, CRect& rect) override;
    void DrawGripper(CDC* pDC, const CRect& rect) override;

    // The room the gripper takes at the leading end, 0 when it shows none.
    int GripperRoom() const;
    BOOL HasGripper() const { return (m_dwStyle & (CBRS_GRIPPER | CBRS_FLOATING)) == CBRS_GRIPPER; }

    BOOL inRebar = FALSE;      // the parent is a rebar window
    BOOL flatGripper = FALSE;  // two flat marks instead of raised bars

protected:
    CFlatBarBase();

    // Called when the bar style changes through SetBarStyle.
    virtual void OnBarStyleChange(DWORD dwOldStyle, DWORD dwNewStyle);
};
