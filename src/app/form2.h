// The analysis window: pixel table, composite profile, exposure, the two
// MTF methods, tail truncation and fitting.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QWidget>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>
#include <QtCharts/QScatterSeries>
#include <functional>
#include <vector>

#include <optional>
#include <string>
#include <vector>

#include "analysis/exposure.h"
#include "analysis/pixel_table.h"
#include "analysis/profile_state.h"
#include "app/controls.h"
#include "measure/analysis_session.h"
#include "measure/measurement.h"
#include "measure/settings.h"
#include "mtf/mtf_state.h"
#include "mtf/mtf_summary.h"
#include "mtf/swc.h"
#include "precise/geometry.h"
#include "precise/mtf_points.h"
#include "precise/value_table.h"
#include "report/report.h"

class QMenu;

namespace radmtf {

class TForm1;
struct ReportPage;

// Chart property: its left axis starts at a fixed minimum of 0.
inline constexpr const char* kAxisFromZero = "axisFromZero";
// Control property: the QMenu its right click opens.
inline constexpr const char* kContextMenu = "contextMenu";

class TForm2 : public QWidget {
    Q_OBJECT
public:
    explicit TForm2(TForm1* form1, QWidget* parent = nullptr);

    // The table, profile, MTF and record the handlers work on.
    AnalysisSession session;

    void FormCreate();
    void RadioButton1Click();
    void RadioButton2Click();
    void RadioButton3Click();
    void RadioButton4Click();
    void RadioGroupEquipClick();
    void RadioGroup1Click();
    void UpDownMALineClick(bool up);
    void UpDownBaseLClick(bool up);
    void UpDownBaseRClick(bool up);
    void UpDown1Changing(bool up);
    void CheckBoxSyncClick();
    void ButtonForm1Click();
    void Button2Dto1DClick();
    void ButtonSmoothClick();
    void ButtonToExpClick();
    void ButtonExtractClick();
    void ButtonToCB_SGClick();
    void ButtonPrfToCBClick();
    void MemoWorkClick();
    void ButtonSWCClick();
    void ButtonSlitClick();
    void ButtonFittingClick();
    void ChartLSFClickSeries(QXYSeries* series, int valueIndex);
    void ButtonTrancationClick();
    void ButtonEdgeClick();
    // Automatic geometry, the precise modes and the one-click runs.
    void ButtonAutoGeometryClick();
    void ButtonSlitMtfClick();
    void ButtonChartMtfClick();

    // Results that leave the program: chart pictures and data, memo tables
    // as CSV, the PDF report.
    void ChartSaveImage(QChartView* view);
    void ChartCopyImage(QChartView* view);
    void ChartSaveData(QChartView* view);
    void MemoSaveCsv(Memo* memo);
    void ButtonReportClick();
    // Asks for the report's institution, operator and note, kept between sessions.
    void ReportNotesClick();
    // The report page of the curve shown, from the record of what produced it
    // (nothing when no measured curve is shown).
    std::optional<ReportPage> reportPage() const;
    // Shows the session's table in the grid (after the transfer that filled it).
    void showTable();

    // Replaces a series' points in one update and rescales its chart.
    void setSeries(QXYSeries* series, const QList<QPointF>& points);
    void clearSeries(QXYSeries* series) { setSeries(series, {}); }
    // Vertical error bars (MTF ± u) on the MTF chart, replacing earlier ones.
    void setErrorBars(const std::vector<PreciseMtfPoint>& points);
    int errorBarCount() const { return static_cast<int>(errorBars_.size()); }

    QTabWidget* PageControl1;
    QWidget* PixelValue;
    QWidget* TabSheetPixelProf;
    QWidget* TabSheetMTF;
    QWidget* TabSheetProfMTF;
    QStatusBar* StatusBar1;

    StringGrid* StringGrid1;
    QPushButton* ButtonToCB_SG;

    QChartView* ChartPixelProf;
    QLineSeries* Series1;
    QScatterSeries* Series5;
    QScatterSeries* Series6;
    QScatterSeries* Series8;
    Memo* MemoWork;
    QPushButton* ButtonPrfToCB;
    QLineEdit* EditSmth;
    UpDown* UpDownFlt;
    QPushButton* ButtonSmooth;
    QCheckBox* CheckBoxSync;
    QLineEdit* EditMALine;
    UpDown* UpDownMALine;
    QPushButton* Button2Dto1D;
    QPushButton* ButtonExtract;
    QPushButton* ButtonToExp;
    // The conversion function ToExp and the methods convert through: the
    // model (L, BitsStored) or one chosen in its place, with its parameters
    // or file in EditConversion. UseHDC goes before it.
    QComboBox* ComboConversion;
    QLineEdit* EditConversion;
    Memo* MemoPRF;
    QPushButton* ButtonSWC;

    QChartView* ChartMTF;
    QLineSeries* Series4;
    QScatterSeries* Series7;
    QScatterSeries* Series10;
    Memo* MemoMTF;
    Memo* MemoMTF2;
    Memo* MemoMTF3;
    RadioGroup* RadioGroup2;
    QLineEdit* Editn;
    UpDown* UpDown1;
    QPushButton* ButtonFitting;

    QPushButton* ButtonAutoGeometry;
    QLineEdit* EditAutoGeometry;
    QCheckBox* CheckBoxPreciseSwc;
    QPushButton* ButtonChartMtf;
    QCheckBox* CheckBoxPreciseSlit;
    QLineEdit* EditSlitWidth;
    QLineEdit* EditLsfRange;
    QPushButton* ButtonSlitMtf;

    QChartView* ChartLSF;
    QLineSeries* Series2;
    QLineSeries* Series3;
    QScatterSeries* Series9;
    QPushButton* ButtonTrancation;
    QLineEdit* EditPosN;
    QLineEdit* EditPosX;
    QLineEdit* EditPosY;
    QPushButton* ButtonSlit;
    QLineEdit* EditNDLSF;

    // Page 5, the edge method.
    QWidget* TabSheetEdge;
    QChartView* ChartESF;
    QLineSeries* SeriesESF;
    QChartView* ChartEdgeLSF;
    QLineSeries* SeriesEdgeLSF;
    QPushButton* ButtonEdge;
    QLineEdit* EditEdgeAngle;
    QLineEdit* EditEdgeBin;
    QLineEdit* EditEdgeLsfWidth;
    QLineEdit* EditEdgeTaper;
    QLineEdit* EditEdgeCore;
    QLineEdit* EditEdgeCutoff;
    QLineEdit* EditEdgeSmoothing;
    // MTF50, MTF10 and the MTF at Nyquist of the last method's points.
    Memo* MemoSummary;
    QPushButton* ButtonReport;

    QLineEdit* EditPxlSpc;
    QLineEdit* EditL;
    QLineEdit* EditBit;
    QCheckBox* CheckBoxUseHDC;
    Memo* Memo1;
    QCheckBox* CheckBoxSuso;
    QPushButton* ButtonForm1;
    QWidget* Panel1;
    QRadioButton* RadioButton1;
    QRadioButton* RadioButton2;
    QRadioButton* RadioButton3;
    QRadioButton* RadioButton4;
    ImageControl* Image1;
    ImageControl* Image2;
    ImageControl* Image3;
    ImageControl* Image4;
    ImageControl* Image5;
    ImageControl* Image6;
    ImageControl* Image7;
    ImageControl* Image8;

    RadioGroup* RadioGroup1;
    RadioGroup* RadioGroupEquip;
    QCheckBox* CheckBoxSwapRC;
    QLineEdit* EditWdth;
    UpDown* UpDownWdth;
    QLineEdit* EditStrt;
    UpDown* UpDownStrt;
    QLineEdit* EditBaseL;
    UpDown* UpDownBaseL;
    QLineEdit* EditBaseR;
    UpDown* UpDownBaseR;
    QLineEdit* EditROIX;
    QLineEdit* EditPrfPk;
    UpDown* UpDownn;

private:
    void buildControls();
    void buildEdgePage();
    void buildPreciseControls();
    CurveFile loadCurveFile();
    // The conversion to exposure as UseHDC and the edits choose it (reads
    // hdc.txt when UseHDC is on).
    ExposureEntry exposureEntry();
    ProfileOrientation checkedOrientation() const;
    void runPreciseSlit();
    void runPreciseChart(const SwcFeatures& features);
    // A chart memo's lines with the marks of the groups (f, MTF) they list.
    QStringList withChartMarks(QStringList lines, const std::vector<std::pair<double, double>>& points) const;
    void warnIfGeometryDisagrees();
    std::vector<QLineSeries*> errorBars_;
    void buildResultControls();
    // Shows the summary of a method's measured points, and the table's warning.
    void showSummary(const MtfSummary& summary);
    void showChartFeatures(const SwcFeatures& features);
    void showChartMtf(const ChartMtfOutput& out);
    struct MenuItem {
        const char* name;  // the action's objectName
        QString caption;
        std::function<void()> run;
    };
    void addContextMenu(QWidget* control, const QList<MenuItem>& items);

    void showOrientation(int button);
    TForm1* form1_;

public:
    // The warning every measurement of the table shows (a processed image);
    // the ROI transfer sets it for the table it fills.
    void setMeasurementWarning(const QString& warning) { measurementWarning_ = warning; }

private:
    QString measurementWarning_;
};

}  // namespace radmtf
