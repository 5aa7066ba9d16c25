// The edge method's handler: the pixel table through the exposure
// conversion into the edge kernel, and its results into the edge page, the
// MTF chart and MemoMTF.
#include "app/edit_text.h"
#include "app/form1.h"
#include "app/form2.h"
#include "app/kernel_output.h"
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
    const EdgeSettings settings = EdgeSettingsFromTexts(texts);

    const EdgeResult result = EdgeStep(tableExposure(), settings);

    EditEdgeAngle->setText(QString::fromStdString(EdgeAngleText(result)));
    setSeries(SeriesESF, Points(result.esf));
    setSeries(SeriesEdgeLSF, Points(result.lsf));
    MemoMTF->setLines(Lines(EdgeMemoLines(result)));
    const std::vector<ChartPoint> fine = StoreEdgeMtf(result, mtf);
    setSeries(Series4, Points(fine));
    showSummary(CurvePoints(fine), ReportMethod::kEdge);
    PageControl1->setCurrentWidget(TabSheetMTF);
}

}  // namespace radmtf
