#include "app/script.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFile>
#include <QListWidget>
#include <QMenu>
#include <QRadioButton>
#include <QTabWidget>
#include <QWheelEvent>
#include <QWindow>
#include <QtCharts/QChartView>
#include <QtCharts/QXYSeries>

#include <cstdio>
#include <deque>
#include <functional>
#include <map>
#include <optional>

#include "app/dispatch.h"
#include "app/edit_text.h"
#include "app/form1.h"
#include "app/form2.h"
#include "app/form3.h"
#include "app/messages.h"
#include "app/prompter.h"
#include "core/failure.h"
#include "core/numtext.h"

namespace radmtf {

namespace {

ScriptOutput* g_output = nullptr;

void Out(const QString& line)
{
    const QByteArray bytes = line.toUtf8();
    if (g_output) {
        g_output->text.append(bytes.constData(), static_cast<std::size_t>(bytes.size()));
        g_output->text.push_back('\n');
        return;
    }
    std::fwrite(bytes.data(), 1, static_cast<std::size_t>(bytes.size()), stdout);
    std::fputc('\n', stdout);
}

class ScriptPrompter : public Prompter {
public:
    std::deque<std::optional<QString>> answers;

    std::optional<QString> openFile(const QString&) override { return take(); }
    std::optional<QString> saveFile(const QString&, const QString&) override { return take(); }
    QString inputBox(const QString&, const QString&, const QString& proposed) override
    {
        const std::optional<QString> answer = take();
        return answer ? *answer : proposed;
    }
    void message(const QString& text) override
    {
        Out("message: " + text);
        std::fflush(stdout);
    }

private:
    std::optional<QString> take()
    {
        if (answers.empty()) throw ScriptError("a prompt has no queued answer");
        std::optional<QString> answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

class Driver {
public:
    Driver(TForm1* form1, TForm2* form2) : form1_(form1), form2_(form2) {}

    void run(const QString& line);
    ScriptPrompter prompter;

private:
    QObject* control(const QString& name);
    QWidget* form(const QString& name);
    void print(const QString& what, const QString& countText);
    bool printVariable(const QString& name, const QString& countText);
    void set(QObject* target, const QString& text);

    TForm1* form1_;
    TForm2* form2_;
};

// Splits off the next word; `rest` is everything after the single blank that
// follows it.
QString NextWord(const QString& text, QString* rest)
{
    const int blank = text.indexOf(' ');
    if (blank < 0) {
        *rest = QString();
        return text;
    }
    *rest = text.mid(blank + 1);
    return text.left(blank);
}

QWidget* Driver::form(const QString& name)
{
    if (name == "Form1") return form1_;
    if (name == "Form2") return form2_;
    if (name == "Form3")
        if (auto* noise = form1_->findChild<TForm3*>()) return noise;
    throw ScriptError(("unknown window " + name).toStdString());
}

QObject* Driver::control(const QString& name)
{
    const int dot = name.indexOf('.');
    if (dot < 0) throw ScriptError(("unknown control " + name).toStdString());
    QWidget* owner = form(name.left(dot));
    const QString objectName = name.mid(dot + 1);
    if (QObject* found = owner->findChild<QObject*>(objectName)) return found;
    // Series belong to their charts, not to the window.
    for (QChartView* view : owner->findChildren<QChartView*>())
        for (QAbstractSeries* series : view->chart()->series())
            if (series->objectName() == objectName) return series;
    throw ScriptError(("unknown control " + name).toStdString());
}

void Driver::set(QObject* target, const QString& text)
{
    if (auto* memo = qobject_cast<Memo*>(target)) {
        QString value = text;
        value.replace("\\n", "\r\n");
        memo->setText(value);
    } else if (auto* edit = qobject_cast<QLineEdit*>(target)) {
        edit->setText(text);
    } else if (auto* check = qobject_cast<QCheckBox*>(target)) {
        check->setChecked(text == "1");
    } else if (auto* radio = qobject_cast<QRadioButton*>(target)) {
        if (text == "1") radio->setChecked(true);
    } else if (auto* group = qobject_cast<RadioGroup*>(target)) {
        group->setItemIndex(StrToInt(text.toStdString()));
    } else if (auto* updown = qobject_cast<UpDown*>(target)) {
        updown->setPosition(StrToInt(text.toStdString()));
    } else if (auto* pages = qobject_cast<QTabWidget*>(target)) {
        // A page control shows the page of that name.
        QWidget* page = pages->findChild<QWidget*>(text);
        if (!page || pages->indexOf(page) < 0) throw ScriptError(("no page " + text).toStdString());
        pages->setCurrentWidget(page);
    } else {
        throw ScriptError(("cannot set " + target->objectName()).toStdString());
    }
}

void Driver::print(const QString& what, const QString& countText)
{
    if (what == "clipboard") {
        Out(QApplication::clipboard()->text());
        return;
    }
    if (!what.contains('.')) {
        if (!printVariable(what, countText)) throw ScriptError(("unknown variable " + what).toStdString());
        return;
    }
    QObject* target = control(what);
    if (auto* memo = qobject_cast<Memo*>(target)) {
        for (const QString& line : memo->lines()) Out(line);
    } else if (auto* edit = qobject_cast<QLineEdit*>(target)) {
        Out(edit->text());
    } else if (auto* check = qobject_cast<QCheckBox*>(target)) {
        Out(check->isChecked() ? "1" : "0");
    } else if (auto* radio = qobject_cast<QRadioButton*>(target)) {
        Out(radio->isChecked() ? "1" : "0");
    } else if (auto* group = qobject_cast<RadioGroup*>(target)) {
        Out(Text(group->itemIndex()));
    } else if (auto* updown = qobject_cast<UpDown*>(target)) {
        Out(Text(updown->position()));
    } else if (auto* grid = qobject_cast<StringGrid*>(target)) {
        const GridModel* model = grid->grid();
        for (int r = 0; r < model->rows(); ++r) {
            QStringList cells;
            for (int c = 0; c < model->cols(); ++c) cells.append(model->cell(c, r));
            Out(cells.join('\t'));
        }
    } else if (auto* series = qobject_cast<QXYSeries*>(target)) {
        for (const QPointF& p : series->points()) Out(Real(p.x()) + '\t' + Real(p.y()));
    } else if (auto* list = qobject_cast<QListWidget*>(target)) {
        for (int i = 0; i < list->count(); ++i) Out(list->item(i)->text());
    } else if (auto* pages = qobject_cast<QTabWidget*>(target)) {
        Out(pages->currentWidget() ? pages->currentWidget()->objectName() : QString());
    } else if (auto* image = qobject_cast<ImageControl*>(target)) {
        Out(QString("%1 %2 %3 %4 %5")
                .arg(image->isHidden() ? 0 : 1)
                .arg(image->x())
                .arg(image->y())
                .arg(image->width())
                .arg(image->height()));
    } else if (auto* widget = qobject_cast<QWidget*>(target)) {
        Out(QString("%1 %2 %3 %4 %5")
                .arg(widget->isHidden() ? 0 : 1)
                .arg(widget->x())
                .arg(widget->y())
                .arg(widget->width())
                .arg(widget->height()));
    } else {
        throw ScriptError(("cannot print " + what).toStdString());
    }
}

bool Driver::printVariable(const QString& name, const QString& countText)
{
    const ViewerState& v = form1_->state;
    const ProfileState& p = form2_->session.profile();
    const MtfState& m = form2_->session.mtf();
    std::optional<long long> count;
    if (!countText.isEmpty()) count = StrToInt(countText.toStdString());
    auto ints = [&](const auto& array, long long valid) {
        const long long n =
            std::clamp<long long>(count.value_or(valid), 0, static_cast<long long>(array.size()));
        for (long long i = 0; i < n; ++i) Out(Text(array[static_cast<std::size_t>(i)]));
    };
    auto reals = [&](const auto& array, long long valid) {
        const long long n =
            std::clamp<long long>(count.value_or(valid), 0, static_cast<long long>(array.size()));
        for (long long i = 0; i < n; ++i) Out(Real(array[static_cast<std::size_t>(i)]));
    };
    const std::map<QString, std::function<void()>> table = {
        {"FileBuffer", [&] { Out(Text(static_cast<long long>(v.fileBuffer.size()))); }},
        {"CurrentFileName", [&] { Out(v.currentFileName); }},
        {"LoadState", [&] { Out(Text(v.loadState)); }},
        {"ImageWidth", [&] { Out(Text(v.imageWidth)); }},
        {"ImageHeight", [&] { Out(Text(v.imageHeight)); }},
        {"ViewRect",
         [&] {
             Out(QString("%1 %2 %3 %4")
                     .arg(v.viewRect.left)
                     .arg(v.viewRect.right)
                     .arg(v.viewRect.top)
                     .arg(v.viewRect.bottom));
         }},
        {"RoiRect",
         [&] {
             Out(QString("%1 %2 %3 %4")
                     .arg(v.roiRect.left)
                     .arg(v.roiRect.top)
                     .arg(v.roiRect.right)
                     .arg(v.roiRect.bottom));
         }},
        {"RoiBitmapRect",
         [&] {
             Out(QString("%1 %2 %3 %4")
                     .arg(v.roiBitmapRect.left)
                     .arg(v.roiBitmapRect.top)
                     .arg(v.roiBitmapRect.right)
                     .arg(v.roiBitmapRect.bottom));
         }},
        {"DragButton", [&] { Out(v.dragButton); }},
        {"LastMouseX", [&] { Out(Text(v.lastMouseX)); }},
        {"LastMouseY", [&] { Out(Text(v.lastMouseY)); }},
        {"DragRoiTopLeft", [&] { Out(v.dragRoiTopLeft ? "1" : "0"); }},
        {"DragRoiBottomRight", [&] { Out(v.dragRoiBottomRight ? "1" : "0"); }},
        {"DragRoiWhole", [&] { Out(v.dragRoiWhole ? "1" : "0"); }},
        {"DisplayBitmap",
         [&] { Out(QString("%1 %2").arg(form1_->displayBitmap.width).arg(form1_->displayBitmap.height)); }},
        {"CompositeProfile", [&] { ints(p.compositeProfile, p.profileCount); }},
        {"ProfileCount", [&] { Out(Text(p.profileCount)); }},
        {"SampleSpacing", [&] { Out(Real(p.sampleSpacing)); }},
        {"ExposureProfile", [&] { reals(p.exposureProfile, p.exposureCount); }},
        {"ExposureCount", [&] { Out(Text(p.exposureCount)); }},
        {"PeakIndex", [&] { Out(Text(p.peakIndex)); }},
        {"MtfFrequency", [&] { reals(m.mtfFrequency, m.measuredCount); }},
        {"MtfValue", [&] { reals(m.mtfValue, m.measuredCount); }},
        {"MtfLastIndex", [&] { Out(Text(m.mtfLastIndex)); }},
        {"MtfPointCount", [&] { Out(Text(m.mtfPointCount)); }},
        {"BarPeriod", [&] { Out(Real(m.barPeriod)); }},
        {"FitX", [&] { reals(m.fitX, static_cast<long long>(m.fitX.size())); }},
        {"FitY", [&] { reals(m.fitY, static_cast<long long>(m.fitY.size())); }},
        {"FitCoefficients",
         [&] { reals(m.fitCoefficients, static_cast<long long>(m.fitCoefficients.size())); }},
    };
    const auto found = table.find(name);
    if (found == table.end()) return false;
    found->second();
    return true;
}

Qt::MouseButton ButtonNamed(const QString& name)
{
    if (name == "left") return Qt::LeftButton;
    if (name == "right") return Qt::RightButton;
    if (name == "middle") return Qt::MiddleButton;
    throw ScriptError(("unknown mouse button " + name).toStdString());
}

void Driver::run(const QString& line)
{
    QString rest;
    const QString command = NextWord(line, &rest);
    if (command == "set") {
        QString text;
        const QString name = NextWord(rest, &text);
        QObject* target = control(name);
        Dispatch([&] { set(target, text); });
    } else if (command == "click") {
        QObject* target = control(rest);
        if (auto* button = qobject_cast<QAbstractButton*>(target))
            Dispatch([&] { button->click(); });
        else if (auto* memo = qobject_cast<Memo*>(target))
            Dispatch([&] { emit memo->clicked(); });
        else
            throw ScriptError(("cannot click " + rest).toStdString());
    } else if (command == "step") {
        QString direction;
        const QString name = NextWord(rest, &direction);
        auto* updown = qobject_cast<UpDown*>(control(name));
        if (!updown || (direction != "up" && direction != "down"))
            throw ScriptError(("cannot step " + rest).toStdString());
        Dispatch([&] { updown->step(direction == "up"); });
    } else if (command == "dblclick") {
        auto* grid = qobject_cast<StringGrid*>(control(rest));
        if (!grid) throw ScriptError(("cannot double-click " + rest).toStdString());
        Dispatch([&] { emit grid->doubleClicked(); });
    } else if (command == "activate") {
        QWidget* window = form(rest);
        window->show();
        BringToFront(window);
        QApplication::setActiveWindow(window);
        QApplication::processEvents();
    } else if (command == "answer") {
        if (rest == "cancel")
            prompter.answers.push_back(std::nullopt);
        else
            prompter.answers.push_back(rest);
    } else if (command == "print") {
        QString countText;
        const QString what = NextWord(rest, &countText);
        print(what, countText);
    } else if (command == "save") {
        QString path;
        const QString name = NextWord(rest, &path);
        if (name == "Form1" || name == "Form2" || name == "Form3") {
            // A picture of the whole window as it would be on screen.
            QWidget* window = form(name);
            if (!window->grab().save(path, "PNG")) throw ScriptError(("cannot write " + path).toStdString());
            return;
        }
        if (name != "Form1.DisplayBitmap") throw ScriptError(("cannot save " + name).toStdString());
        const DisplayBitmap& bitmap = form1_->displayBitmap;
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly)) throw ScriptError(("cannot write " + path).toStdString());
        file.write(QString("P5\n%1 %2\n255\n").arg(bitmap.width).arg(bitmap.height).toLatin1());
        file.write(reinterpret_cast<const char*>(bitmap.pixels.data()),
                   static_cast<qint64>(std::size_t(std::max(bitmap.width, 0)) *
                                       std::size_t(std::max(bitmap.height, 0))));
    } else if (command == "wheel") {
        // "wheel up|down", or "wheel up|down ctrl" with Ctrl held over the viewer's picture.
        const bool ctrl = rest.endsWith(" ctrl");
        if (ctrl) rest.chop(5);
        if (rest != "up" && rest != "down") throw ScriptError("wheel needs up or down");
        QWidget* target = QApplication::activeWindow();
        if (target) {
            const int delta = rest == "up" ? 120 : -120;
            const QPointF at = ctrl ? QPointF(form1_->ScrollBox1->geometry().center()) : QPointF(10, 10);
            QWheelEvent event(at, at, QPoint(), QPoint(0, delta), Qt::NoButton,
                              ctrl ? Qt::ControlModifier : Qt::NoModifier, Qt::NoScrollPhase, false);
            // Delivered as the platform delivers it: to the window first.
            if (QWindow* window = target->windowHandle())
                QApplication::sendEvent(window, &event);
            else
                QApplication::sendEvent(target, &event);
        }
    } else if (command == "mouse") {
        const QStringList words = rest.split(' ');
        if (words.size() != 5) throw ScriptError("mouse needs CONTROL ACTION BUTTON X Y");
        if (words[0] != "Form1.Image1")
            throw ScriptError(("no pointer events for " + words[0]).toStdString());
        const Qt::MouseButton button = ButtonNamed(words[2]);
        const int x = StrToInt(words[3].toStdString());
        const int y = StrToInt(words[4].toStdString());
        if (words[1] == "press")
            Dispatch([&] { form1_->Image1MouseDown(button, x, y); });
        else if (words[1] == "move")
            Dispatch([&] { form1_->Image1MouseMove(x, y); });
        else if (words[1] == "release")
            Dispatch([&] { form1_->Image1MouseUp(button, x, y); });
        else
            throw ScriptError(("unknown mouse action " + words[1]).toStdString());
    } else if (command == "chartclick") {
        QString indexText;
        const QString name = NextWord(rest, &indexText);
        auto* series = qobject_cast<QXYSeries*>(control(name));
        if (!series) throw ScriptError(("not a series: " + name).toStdString());
        const int index = StrToInt(indexText.toStdString());
        Dispatch([&] { form2_->ChartLSFClickSeries(series, index); });
    } else if (command == "popup") {
        QString item;
        const QString name = NextWord(rest, &item);
        if (name != "Form1.EditROISizeX" && name != "Form1.EditROISizeY")
            throw ScriptError(("no popup menu on " + name).toStdString());
        bool known = true;
        Dispatch([&] { known = form1_->popupChoose(item); });
        if (!known) throw ScriptError(("unknown menu item " + item).toStdString());
    } else if (command == "menu") {
        // A right-click menu's item, by its caption or its action's name.
        QString item;
        const QString name = NextWord(rest, &item);
        auto* menu = qobject_cast<QMenu*>(control(name)->property(kContextMenu).value<QObject*>());
        if (!menu) throw ScriptError(("no context menu on " + name).toStdString());
        QAction* chosen = nullptr;
        for (QAction* action : menu->actions())
            if (action->objectName() == item || action->text() == item) chosen = action;
        if (!chosen) throw ScriptError(("unknown menu item " + item).toStdString());
        Dispatch([&] { chosen->trigger(); });
    } else {
        throw ScriptError(("unknown command " + command).toStdString());
    }
    QApplication::processEvents();
}

void ReportError(ScriptOutput* output, int number, const char* why)
{
    g_output = nullptr;
    const std::string text = "script error: line " + std::to_string(number) + ": " + why;
    if (output) {
        output->error = text;
        return;
    }
    std::fflush(stdout);
    std::fprintf(stderr, "%s\n", text.c_str());
}

}  // namespace

int RunScript(const QStringList& lines, TForm1* form1, TForm2* form2, ScriptOutput* output,
              int firstLineNumber)
{
    g_output = output;
    Driver driver(form1, form2);
    Prompter* const previousPrompter = SetPrompter(&driver.prompter);
    int number = firstLineNumber - 1;
    for (QString line : lines) {
        ++number;
        if (line.endsWith('\r')) line.chop(1);
        if (line.isEmpty() || line.startsWith('#')) continue;
        try {
            driver.run(line);
        } catch (const ScriptError& error) {
            ReportError(output, number, error.what());
            SetPrompter(previousPrompter);
            return 1;
        } catch (const Failure& failure) {
            // A failure outside any handler (a malformed number in the
            // script itself) is the script's error.
            ReportError(output, number, FailureText(failure).toStdString().c_str());
            SetPrompter(previousPrompter);
            return 1;
        }
        std::fflush(stdout);
    }
    SetPrompter(previousPrompter);
    g_output = nullptr;
    return 0;
}

bool IsRestartLine(const QString& line)
{
    return line == "restart" || line == "restart\r";
}

}  // namespace radmtf
