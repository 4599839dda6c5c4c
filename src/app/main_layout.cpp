// Where the panes, plots and read-out of the main window go for a given window size, in twips.
#include "app/main_layout.h"

namespace quillane {

MainLayout LayoutMainWindow(float scaleWidth, float scaleHeight, float outerWidth) {
    // Two rows of pane + plot: the upper from 680 to SH/2 + 100, a gap of 30, the lower down
    // to SH - 275. Panes keep their width; the plots take what is left of the frame width.
    const float upperHeight = (scaleHeight - 1100.0F) / 2.0F - 30.0F;
    const float lowerTop = (scaleHeight - 1100.0F) / 2.0F + 680.0F;
    const float lowerHeight = (scaleHeight - 680.0F) / 2.0F - 65.0F;
    const float plotWidth = outerWidth - 4600.0F;

    MainLayout layout;
    layout.txtDataA = {10.0F, 680.0F, 4250.0F, upperHeight};
    layout.txtDataB = {10.0F, lowerTop, 4250.0F, lowerHeight};
    layout.Picture1 = {4300.0F, 680.0F, plotWidth, upperHeight};
    layout.Picture2 = {4300.0F, lowerTop, plotWidth, lowerHeight};
    layout.Picture3 = {scaleWidth - 2200.0F, 300.0F, 2300.0F, 600.0F};
    layout.LineX2 = scaleWidth;
    return layout;
}

}  // namespace quillane
