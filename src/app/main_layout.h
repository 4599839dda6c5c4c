// Where the panes, plots and read-out of the main window go for a given window size, in twips.
#pragma once

namespace quillane {

struct TwipRect {
    float Left = 0;
    float Top = 0;
    float Width = 0;
    float Height = 0;
};

// A move with a negative size is refused by the window system, so the control keeps its old
// rectangle; the other moves still happen.
inline bool IsPlaceable(const TwipRect& r) { return r.Width >= 0 && r.Height >= 0; }

struct MainLayout {
    TwipRect txtDataA;
    TwipRect txtDataB;
    TwipRect Picture1;
    TwipRect Picture2;
    TwipRect Picture3;  // in tool-bar coordinates
    float LineX2 = 0;   // right end of both etched lines under the tool bar
};

// The etched line under the tool bar: dark half at 600, light half at 610.
inline constexpr float kLine1Y = 600;
inline constexpr float kLine2Y = 610;
inline constexpr float kToolBarHeight = 600;
// The status bar fills the strip below the lower row, which ends 275 twips above the bottom.
inline constexpr float kStatusBarHeight = 275;

// scaleWidth/scaleHeight: the client area (tool bar and status bar strips included);
// outerWidth: the window with its frame. Single precision throughout, nothing rounded.
MainLayout LayoutMainWindow(float scaleWidth, float scaleHeight, float outerWidth);

}  // namespace quillane
