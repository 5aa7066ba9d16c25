// The edge method's handler: the pixel table through the exposure
// conversion into the edge kernel, and its results into the edge page, the
// MTF chart and MemoMTF.
#include "app/edit_text.h"
#include "app/form1.h"
#include "app/form2.h"
#include "app/kernel_output.h"
#include "app/window_numbers.h"
#include "core/numtext.h"
#include "measure/measurement.h"
#include "measure/precise_steps.h"

namespace radmtf {

void TForm2::ButtonEdgeClick()
{
    form1_->findForFirstRun(MeasureMethod::kEdge);
    EdgeSettingTexts texts;
    texts.pixelSpacing = StdText(EditPxlSpc);
    texts.binWidth = StdText(EditEdgeBin);
    texts.lsfHalfWidth = StdText(EditEdgeLsfWidth);
    texts.lsfTaper = StdText(EditEdgeTaper);
    texts.coreHalfWidth = StdText(EditEdgeCore);
    texts.tailCutoff = StdText(EditEdgeCutoff);
    texts.smoothingInterval = StdText(EditEdgeSmoothing);
    texts.adaptiveWindow = StdText(EditEdgeAdaptive);
    texts.reachFactor = StdText(EditEdgeReach);
    const EdgeSettings settings = EdgeSettingsFromTexts(texts);

    const EdgeMtfOutput out = session.EdgeMtf(settings, exposureEntry());

    EditEdgeAngle->setText(QString::fromStdString(EdgeAngleText(out.edge)));
    setSeries(SeriesESF, Points(out.edge.esf));
    setSeries(SeriesEdgeLSF, Points(out.edge.lsf));
    MemoMTF->setLines(Lines(EdgeMemoLines(out.edge)));
    setSeries(Series4, Points(out.fine));
    showSummary(out.summary);
    PageControl1->setCurrentWidget(TabSheetMTF);
}

}  // namespace radmtf
