// "Find": the ROI set on a test object found in the image (the chart, the
// slit, or each edge in turn), and the one-click runs' start on an image
// whose ROI the user has not chosen.
#include "app/edit_text.h"
#include "app/form1.h"
#include "app/form2.h"
#include "core/failure.h"
#include "viewer/roi_frames.h"

namespace radmtf {

SearchedImage TForm1::searchedImage() const
{
    return SearchedImage(measurementReader(), FloatOf(EditPxlSpc));
}

std::array<QString, 4> TForm1::roiTexts() const
{
    return {EditROIPosX->text(), EditROIPosY->text(), EditROISizeX->text(), EditROISizeY->text()};
}

void TForm1::showFound(const RoiSetting& roi)
{
    EditROIPosX->setText(Text(roi.centreX));
    EditROIPosY->setText(Text(roi.centreY));
    EditROISizeX->setText(Text(roi.width));
    EditROISizeY->setText(Text(roi.height));
    RenderImage();
}

void TForm1::drawFoundFrames(const ViewRect& view)
{
    // Frames are drawn inverting the pixels: the ROI's own frame would undo
    // the frame of the candidate it shows.
    const auto same = [](const PixelRect& a, const PixelRect& b) {
        return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
    };
    for (const PixelRect& rect : state.foundRects)
        if (!same(rect, state.roiRect)) radmtf::DrawRoiFrames(displayBitmap.view(), RoiToBitmap(rect, view));
}

void TForm1::ButtonFindObjectClick()
{
    if (state.loadState <= 0) return;
    if (state.found.empty()) {
        state.found = FindAnyObject(searchedImage());
        state.nextFound = 0;
        state.foundRects.clear();
        for (const FoundObject& object : state.found)
            state.foundRects.push_back(RoiRectFromEdits(object.roi.centreX, object.roi.centreY,
                                                        object.roi.width, object.roi.height));
    }
    const FoundObject& shown = state.found[state.nextFound++ % state.found.size()];
    showFound(shown.roi);
}

bool TForm1::findForFirstRun(MeasureMethod method)
{
    if (state.loadState <= 0 || state.tableTaken || !state.proposedRoi || *state.proposedRoi != roiTexts())
        return false;
    const std::vector<FoundObject> found = searchedImage().Find(method);
    if (found.empty()) ThrowFailure(FailureCode::kObjectNotFound);
    showFound(found.front().roi);
    ButtonToTableClick();
    return true;
}

}  // namespace radmtf
