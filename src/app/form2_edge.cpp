// The edge method's handler: the pixel table through the exposure
// conversion into the edge kernel, and its results into the edge page, the
// MTF chart and MemoMTF.
#include "app/edit_text.h"
#include "app/form1.h"
#include "app/form2.h"
#include "mtf/edge.h"

namespace radmtf {

namespace {

QList<QPointF> ChartPoints(const std::vector<ChartPoint>& points)
{
    QList<QPointF> list;
    list.reserve(static_cast<qsizetype>(points.size()));
    for (const ChartPoint& p : points) list.append(QPointF(p.x, p.y));
    return list;
}

}  // namespace

void TForm2::ButtonEdgeClick()
{
    EdgeSettingTexts texts;
    texts.pixelSpacing = StdText(EditPxlSpc);
    texts.binWidth = StdText(EditEdgeBin);
    texts.lsfHalfWidth = StdText(EditEdgeLsfWidth);
    texts.lsfTaper = StdText(EditEdgeTaper);
    texts.coreHalfWidth = StdText(EditEdgeCore);
    texts.tailCutoff = StdText(EditEdgeCutoff);
    texts.smoothingInterval = StdText(EditEdgeSmoothing);
    const EdgeSettings settings = EdgeSettingsFromTexts(texts);

    ExposureConversion conversion;
    conversion.useCurve = CheckBoxUseHDC->isChecked();
    if (conversion.useCurve) {
        CurveFile curve = loadCurveFile();
        conversion.curvePath = std::move(curve.path);
        conversion.curveLines = std::move(curve.lines);
    } else {
        conversion.latitude = StdText(EditL);
        conversion.bits = StdText(EditBit);
        conversion.offset = StdText(form1_->EditOffst);
    }
    const EdgeResult result =
        MeasureEdge(EdgeImageFromTable(TForm2TableView(StringGrid1->grid()), conversion), settings);

    EditEdgeAngle->setText(QString::fromStdString(EdgeAngleText(result)));
    setSeries(SeriesESF, ChartPoints(result.esf));
    setSeries(SeriesEdgeLSF, ChartPoints(result.lsf));
    QStringList memo;
    for (const std::string& line : EdgeMemoLines(result)) memo.append(QString::fromStdString(line));
    MemoMTF->setLines(memo);
    setSeries(Series4, ChartPoints(StoreEdgeMtf(result, mtf)));
    PageControl1->setCurrentWidget(TabSheetMTF);
}

}  // namespace radmtf
