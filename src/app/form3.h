// The noise and DQE window: the NNPS of flat fields, and the DQE with the
// MTF of each direction from an MTF file, an edge image or the analysis
// window's last measurement. It runs the same
// sessions as `radmtf measure nnps` and `radmtf measure dqe` and saves what
// they write, so the window and the command agree.
#pragma once

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QWidget>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>

#include <optional>

#include "app/controls.h"
#include "measure/noise_session.h"
#include "measure/settings.h"

namespace radmtf {

class TForm3 : public QWidget {
    Q_OBJECT
public:
    // A window of its own, owned by `parent` (the viewer window).
    explicit TForm3(QWidget* parent = nullptr);

    // The flat fields and the conversion (both pages).
    QListWidget* ListFlats = nullptr;
    QPushButton *ButtonAddFiles = nullptr, *ButtonAddFolder = nullptr, *ButtonRemove = nullptr,
                *ButtonClear = nullptr;
    RadioGroup* RadioGroupConversion = nullptr;  // model, linear, log, hdc, file
    QLineEdit *EditLatitude = nullptr, *EditBits = nullptr;
    QLineEdit *EditConvA = nullptr, *EditConvB = nullptr, *EditConvKref = nullptr, *EditConvFile = nullptr;
    QPushButton* ButtonConvFile = nullptr;
    QLineEdit *EditPixelSpacing = nullptr, *EditKerma = nullptr;
    QTabWidget* PageControlNoise = nullptr;
    // NNPS.
    QPushButton *ButtonNnps = nullptr, *ButtonNnpsCsv = nullptr, *ButtonNnpsReport = nullptr,
                *ButtonNnpsImage = nullptr;
    QChartView* ChartNnps = nullptr;
    QLineSeries *SeriesNnpsU = nullptr, *SeriesNnpsV = nullptr;
    StringGrid* GridNnps = nullptr;
    Memo* MemoNnps = nullptr;
    // DQE.
    RadioGroup *RadioGroupMtfU = nullptr, *RadioGroupMtfV = nullptr;  // MTF file, edge image, analysis window
    QLineEdit *EditMtfU = nullptr, *EditMtfV = nullptr;
    QPushButton *ButtonMtfU = nullptr, *ButtonMtfV = nullptr;
    RadioGroup* RadioGroupQuality = nullptr;  // RQA3, RQA5, RQA7, RQA9
    RadioGroup* RadioGroupSnr = nullptr;      // the 2015 table, the 2003 table, typed
    QLineEdit* EditSnr2 = nullptr;
    QPushButton *ButtonDqe = nullptr, *ButtonDqeCsv = nullptr, *ButtonDqeReport = nullptr;
    QChartView* ChartDqe = nullptr;
    QLineSeries *SeriesDqeU = nullptr, *SeriesDqeV = nullptr;
    StringGrid* GridDqe = nullptr;
    Memo* MemoDqe = nullptr;

    // The last measurements and the settings they ran with.
    std::optional<NnpsSession> nnps;
    NoiseSettings nnpsSettings;
    std::optional<DqeSession> dqe;

    // Event handlers, named after their control and event.
    void ButtonAddFilesClick();
    void ButtonAddFolderClick();
    void ButtonRemoveClick();
    void ButtonClearClick();
    void ButtonConvFileClick();
    void ButtonMtfUClick();
    void ButtonMtfVClick();
    void ButtonNnpsClick();
    void ButtonNnpsCsvClick();
    void ButtonNnpsReportClick();
    void ButtonNnpsImageClick();
    void ButtonDqeClick();
    void ButtonDqeCsvClick();
    void ButtonDqeReportClick();

    // Shows the window in front.
    void ShowWindow();

private:
    void buildControls();
    void connectControls();
    // The controls as the settings and inputs the sessions take; a number
    // that does not read fails with its text.
    NoiseSettings readSettings(bool kermaNeeded) const;
    DqeInputs readDqeInputs() const;
    // The analysis window's last MTF, for the DQE's MTF of `direction`.
    DqeInputs::Curve AnalysisMtf(const char* direction) const;
    std::vector<std::string> flatFiles() const;
    void showNnps();
    void showDqe();
};

}  // namespace radmtf
