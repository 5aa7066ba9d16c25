// The interface in both languages: every text a user can see has a finished
// English entry in the translation, every control says what it does, and
// the English interface shows plain words.
#include <QAbstractButton>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QRegularExpression>
#include <QTabBar>
#include <QTabWidget>
#include <QXmlStreamReader>
#include <QtCharts/QAbstractAxis>
#include <QtCharts/QChartView>

#include <map>
#include <set>

#include "app/language.h"
#include "app_fixture.h"

namespace radmtf::testing {
namespace {

// Source text -> translation of every finished entry.
std::map<QString, QString> FinishedTranslations()
{
    QFile file(RADMTF_TS_FILE);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    std::map<QString, QString> entries;
    QString source;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement()) continue;
        if (xml.name() == u"source") source = xml.readElementText();
        if (xml.name() == u"translation" && xml.attributes().value("type").isEmpty())
            entries[source] = xml.readElementText();
    }
    return entries;
}

// Everything a window shows in words: captions, titles, tabs, chart titles,
// menu items and tooltips.
std::set<QString> VisibleTexts(QWidget* window)
{
    std::set<QString> texts = {window->windowTitle()};
    for (QWidget* w : window->findChildren<QWidget*>()) {
        texts.insert(w->toolTip());
        if (auto* button = qobject_cast<QAbstractButton*>(w)) texts.insert(button->text());
        if (auto* label = qobject_cast<QLabel*>(w)) texts.insert(label->text());
        if (auto* box = qobject_cast<QGroupBox*>(w)) texts.insert(box->title());
        if (auto* tabs = qobject_cast<QTabWidget*>(w))
            for (int i = 0; i < tabs->count(); ++i) texts.insert(tabs->tabText(i));
        if (auto* menu = qobject_cast<QMenu*>(w))
            for (QAction* action : menu->actions()) texts.insert(action->text());
        if (auto* view = qobject_cast<QChartView*>(w)) {
            texts.insert(view->chart()->title());
            for (QAbstractAxis* axis : view->chart()->axes()) texts.insert(axis->titleText());
        }
    }
    return texts;
}

class Interface : public WindowTest {};

TEST_F(Interface, EveryWordShownHasAFinishedTranslationAndEveryControlATooltip)
{
    const std::map<QString, QString> translated = FinishedTranslations();
    // Numbers, symbols and upper-case abbreviations ("ROI", "CW") need none.
    const QRegularExpression words("[a-z]{2}|[^\\x{0}-\\x{2FFF}]");
    for (QWidget* window : {static_cast<QWidget*>(form1.get()), static_cast<QWidget*>(form2.get())}) {
        for (const QString& text : VisibleTexts(window))
            if (text.contains(words)) {
                EXPECT_TRUE(translated.count(text)) << text.toStdString();
            }
        for (QWidget* control : window->findChildren<QWidget*>()) {
            // Named controls of the program, not the parts of a counter or a tab bar.
            const QWidget* parent = control->parentWidget();
            const bool named = !control->objectName().isEmpty() && !control->objectName().startsWith("qt_") &&
                               !qobject_cast<const UpDown*>(parent) &&
                               !qobject_cast<const QTabBar*>(parent) && !control->isHidden();
            const bool operable =
                qobject_cast<QAbstractButton*>(control) || qobject_cast<QLineEdit*>(control) ||
                qobject_cast<QAbstractScrollArea*>(control) || qobject_cast<RadioGroup*>(control) ||
                qobject_cast<UpDown*>(control) || qobject_cast<ImageControl*>(control);
            if (named && operable) {
                EXPECT_FALSE(control->toolTip().isEmpty()) << control->objectName().toStdString();
            }
        }
    }
}

class EnglishInterface : public WindowTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(UseLanguage("en"));
        WindowTest::SetUp();
    }
    void TearDown() override
    {
        WindowTest::TearDown();
        UseLanguage("ja");
    }
    bool HasLabel(QWidget* window, const QString& text)
    {
        for (QLabel* label : window->findChildren<QLabel*>())
            if (label->text() == text) return true;
        return false;
    }
};

TEST_F(EnglishInterface, ShowsPlainWordsAndMessagesInEnglish)
{
    EXPECT_TRUE(HasLabel(form1.get(), "Level"));
    EXPECT_EQ(form1->ButtonTriming->text(), "Trimming");
    EXPECT_EQ(form2->RadioGroup2->title(), "Frequency");
    EXPECT_EQ(form2->ButtonTrancation->text(), "Truncation");
    EXPECT_EQ(form1->StringGridDICOM->grid()->cell(2, 0), "Element");
    EXPECT_EQ(form1->EditROIPosX->toolTip(), "Column of the ROI's centre");
    EXPECT_TRUE(form2->MemoPRF->lines().isEmpty());
    EXPECT_TRUE(form2->Memo1->lines().isEmpty());
    EXPECT_EQ(Run("click Form2.ButtonReport\n"), "message: No MTF has been measured yet.\n");
    // A failure from below, its blank filled with the text it names.
    EXPECT_EQ(Run("set Form2.EditMALine 1x7\nclick Form2.Button2Dto1D\n"),
              "message: '1x7' is not an integer\n");
}

TEST(LanguageChoice, CommandLineBeforeEnvironmentAndUnknownRefused)
{
    QProcess radmtf;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("RADMTF_LANG", "en");
    radmtf.setProcessEnvironment(environment);
    radmtf.start(RADMTF_BINARY, {"--script", "-"});
    radmtf.write("print Form2.MemoPRF\n");
    radmtf.closeWriteChannel();
    ASSERT_TRUE(radmtf.waitForFinished(30000));
    EXPECT_EQ(radmtf.readAllStandardOutput(), "");
    radmtf.start(RADMTF_BINARY, {"--lang", "ja", "--script", "-"});
    radmtf.write("print Form2.MemoPRF\n");
    radmtf.closeWriteChannel();
    ASSERT_TRUE(radmtf.waitForFinished(30000));
    EXPECT_EQ(radmtf.readAllStandardOutput(), "MemoPRF\n");
    radmtf.start(RADMTF_BINARY, {"--lang", "xx"});
    ASSERT_TRUE(radmtf.waitForFinished(30000));
    EXPECT_EQ(radmtf.exitCode(), 2);
    // Any case, and before the subcommand as well as after it.
    environment.insert("RADMTF_LANG", "ja");
    radmtf.setProcessEnvironment(environment);
    radmtf.start(RADMTF_BINARY, {"--lang", "EN", "measure", "--help"});
    ASSERT_TRUE(radmtf.waitForFinished(30000));
    EXPECT_EQ(radmtf.exitCode(), 0);
    EXPECT_TRUE(radmtf.readAllStandardOutput().startsWith("usage: radmtf measure"));
    const QString slit = RADMTF_SAMPLES_DIR "/slit.dcm";
    radmtf.start(RADMTF_BINARY, {"--lang", "EN", "measure", "slit", slit, "--orientation", "5"});
    ASSERT_TRUE(radmtf.waitForFinished(30000));
    EXPECT_EQ(radmtf.exitCode(), 2);
    EXPECT_TRUE(radmtf.readAllStandardError().contains("is not a valid value for --orientation"));
    radmtf.start(RADMTF_BINARY, {"--lang=en", "measure", "slit", slit, "--format", "csv"});
    ASSERT_TRUE(radmtf.waitForFinished(30000));
    EXPECT_EQ(radmtf.exitCode(), 0) << radmtf.readAllStandardError().toStdString();
    environment.insert("RADMTF_LANG", "EN");
    radmtf.setProcessEnvironment(environment);
    radmtf.start(RADMTF_BINARY, {"measure", "nnps", slit, "--roi", "1,1,9,9"});
    ASSERT_TRUE(radmtf.waitForFinished(30000));
    EXPECT_EQ(radmtf.exitCode(), 2);
    EXPECT_TRUE(radmtf.readAllStandardError().contains("--roi does not apply"));
}

}  // namespace
}  // namespace radmtf::testing
