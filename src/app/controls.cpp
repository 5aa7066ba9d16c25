#include "app/controls.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QToolButton>

#include "app/dispatch.h"
#include "core/failure.h"
#include "core/numtext.h"
#include "core/text_lines.h"

namespace radmtf {

// ---------------------------------------------------------------- RadioGroup

RadioGroup::RadioGroup(const QString& caption, const QStringList& items, int columns, QWidget* parent)
    : QGroupBox(caption, parent), items_(items), group_(new QButtonGroup(this))
{
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->setSpacing(1);
    group_->setExclusive(false);
    const int perColumn = (items.size() + columns - 1) / std::max(columns, 1);
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items[i], this);
        button->setAutoExclusive(false);
        buttons_.append(button);
        layout->addWidget(button, i % std::max(perColumn, 1), i / std::max(perColumn, 1));
        connect(button, &QRadioButton::toggled, this,
                [this, i](bool checked) { RunHandler([&] { onToggled(i, checked); }); });
    }
}

void RadioGroup::setItemIndex(int index)
{
    if (index < -1 || index >= buttons_.size()) index = -1;
    if (index == index_) return;
    index_ = index;
    for (int i = 0; i < buttons_.size(); ++i) {
        const QSignalBlocker blocker(buttons_[i]);
        buttons_[i]->setChecked(i == index);
    }
    emit clicked();
    RaisePendingFailure();
}

void RadioGroup::onToggled(int index, bool checked)
{
    if (!checked) {
        // A user cannot uncheck the selected item by clicking it again.
        if (index == index_) {
            const QSignalBlocker blocker(buttons_[index]);
            buttons_[index]->setChecked(true);
        }
        return;
    }
    setItemIndex(index);
}

// -------------------------------------------------------------------- UpDown

UpDown::UpDown(int minimum, int maximum, int position, QWidget* parent, QLineEdit* associate)
    : QWidget(parent), minimum_(minimum), maximum_(maximum), position_(position), associate_(associate)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* up = new QToolButton(this);
    auto* down = new QToolButton(this);
    up->setArrowType(Qt::UpArrow);
    down->setArrowType(Qt::DownArrow);
    up->setObjectName("up");
    down->setObjectName("down");
    for (auto* b : {up, down}) {
        b->setFixedSize(16, 11);
        layout->addWidget(b);
    }
    connect(up, &QToolButton::clicked, this, [this] { RunHandler([&] { step(true); }); });
    connect(down, &QToolButton::clicked, this, [this] { RunHandler([&] { step(false); }); });
    setFixedSize(16, 22);
    if (associate_) associate_->setText(QString::number(position_));
}

void UpDown::setPosition(int position)
{
    position_ = std::clamp(position, minimum_, std::max(minimum_, maximum_));
    if (associate_) associate_->setText(QString::number(position_));
}

void UpDown::setMaximum(int maximum)
{
    // The position stays where it is; the next step brings it into range.
    maximum_ = maximum;
}

void UpDown::step(bool up)
{
    setPosition(position_ + (up ? 1 : -1));
    emit clicked(up);
    RaisePendingFailure();
}

// ---------------------------------------------------------------------- Memo

Memo::Memo(QWidget* parent) : QPlainTextEdit(parent)
{
    setLineWrapMode(QPlainTextEdit::NoWrap);
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (updating_) return;
        lines_ = toPlainText().split('\n');
        if (!lines_.isEmpty() && lines_.back().isEmpty()) lines_.removeLast();
    });
}

void Memo::setLines(const QStringList& lines)
{
    lines_ = lines;
    refresh();
}

// CR LF, a bare CR or a bare LF end a line, as in the program's text files.
static QStringList SplitLines(const QString& text)
{
    QStringList lines;
    for (const std::string& line : SplitTextLines(text.toStdString()))
        lines.append(QString::fromStdString(line));
    return lines;
}

void Memo::setText(const QString& text)
{
    setLines(SplitLines(text));
}

void Memo::addText(const QString& text)
{
    lines_.append(SplitLines(text));
    refresh();
}

void Memo::refresh()
{
    updating_ = true;
    setPlainText(lines_.join('\n'));
    updating_ = false;
}

void Memo::mousePressEvent(QMouseEvent* event)
{
    QPlainTextEdit::mousePressEvent(event);
    emit clicked();
}

// ----------------------------------------------------------------- GridModel

QVariant GridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid()) return {};
    if (role == Qt::DisplayRole) {
        QString text = cell(index.column(), index.row());
        // Raw DICOM values may carry NULs and control bytes: show the text up
        // to the first NUL, other control bytes as blanks.
        const qsizetype nul = text.indexOf(QChar(0));
        if (nul >= 0) text.truncate(nul);
        for (QChar& ch : text)
            if (ch.unicode() < 0x20) ch = QChar(' ');
        return text;
    }
    if (role == Qt::BackgroundRole && (index.row() == 0 || index.column() == 0))
        return QColor(0xF0, 0xF0, 0xF0);
    if (role == Qt::TextAlignmentRole && kinds_[at(index.column(), index.row())] == kInt)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

void GridModel::setSize(int cols, int rows)
{
    cols = std::max(cols, 0);
    rows = std::max(rows, 0);
    if (cols == cols_ && rows == rows_) return;
    beginResetModel();
    std::vector<std::int32_t> values(std::size_t(cols) * std::size_t(rows), 0);
    std::vector<std::uint8_t> kinds(values.size(), kEmpty);
    std::unordered_map<std::size_t, QString> texts;
    const int keepCols = std::min(cols, cols_);
    const int keepRows = std::min(rows, rows_);
    for (int r = 0; r < keepRows; ++r) {
        for (int c = 0; c < keepCols; ++c) {
            const std::size_t from = at(c, r);
            const std::size_t to = std::size_t(r) * std::size_t(cols) + std::size_t(c);
            values[to] = values_[from];
            kinds[to] = kinds_[from];
            if (kinds_[from] == kText) texts.emplace(to, texts_.at(from));
        }
    }
    cols_ = cols;
    rows_ = rows;
    values_.swap(values);
    kinds_.swap(kinds);
    texts_.swap(texts);
    sourceCols_ = std::min(sourceCols_, cols_);
    endResetModel();
}

void GridModel::setTextSource(int columns, TextSource source)
{
    sourceCols_ = source ? std::clamp(columns, 0, cols_) : 0;
    source_ = std::move(source);
    notifyAllChanged();
}

QString GridModel::cell(int col, int row) const
{
    if (col < 0 || row < 0 || col >= cols_ || row >= rows_) return {};
    const std::size_t i = at(col, row);
    switch (kinds_[i]) {
        case kInt:
            return QString::number(values_[i]);
        case kText:
            return texts_.at(i);
        default:
            return row > 0 && col < sourceCols_ ? source_(col, row) : QString();
    }
}

void GridModel::setCell(int col, int row, const QString& text)
{
    if (col < 0 || row < 0 || col >= cols_ || row >= rows_) return;
    const std::size_t i = at(col, row);
    if (text.isEmpty()) {
        kinds_[i] = kEmpty;
        texts_.erase(i);
    } else {
        kinds_[i] = kText;
        texts_[i] = text;
    }
    if (!batching_) emit dataChanged(index(row, col), index(row, col));
}

void GridModel::setIntCell(int col, int row, std::int32_t value)
{
    if (col < 0 || row < 0 || col >= cols_ || row >= rows_) return;
    const std::size_t i = at(col, row);
    if (kinds_[i] == kText) texts_.erase(i);
    kinds_[i] = kInt;
    values_[i] = value;
    if (!batching_) emit dataChanged(index(row, col), index(row, col));
}

std::optional<std::int32_t> GridModel::cellValue(int col, int row) const
{
    if (col < 0 || row < 0 || col >= cols_ || row >= rows_) return std::nullopt;
    const std::size_t i = at(col, row);
    switch (kinds_[i]) {
        case kInt:
            return values_[i];
        case kText:
            return StrToInt(texts_.at(i).toStdString());
        default: {
            const QString text = cell(col, row);
            if (text.isEmpty()) return std::nullopt;
            return StrToInt(text.toStdString());
        }
    }
}

void GridModel::setIntBlock(int col0, int row0, int width, int height, const std::int32_t* values)
{
    for (int r = 0; r < height; ++r) {
        const int row = row0 + r;
        if (row < 0 || row >= rows_) continue;
        for (int c = 0; c < width; ++c) {
            const int col = col0 + c;
            if (col < 0 || col >= cols_) continue;
            const std::size_t i = at(col, row);
            if (kinds_[i] == kText) texts_.erase(i);
            kinds_[i] = kInt;
            values_[i] = values[std::size_t(r) * std::size_t(width) + std::size_t(c)];
        }
    }
    notifyAllChanged();
}

void GridModel::notifyAllChanged()
{
    if (rows_ > 0 && cols_ > 0) emit dataChanged(index(0, 0), index(rows_ - 1, cols_ - 1));
}

// ---------------------------------------------------------------- StringGrid

StringGrid::StringGrid(int cols, int rows, QWidget* parent) : QTableView(parent), model_(new GridModel(this))
{
    model_->setSize(cols, rows);
    setModel(model_);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(14);
    horizontalHeader()->setDefaultSectionSize(40);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    QFont small = font();
    small.setPointSize(7);
    setFont(small);
}

void StringGrid::selectDataCells()
{
    if (model_->cols() < 2 || model_->rows() < 2) return;
    selectionModel()->select(
        QItemSelection(model_->index(1, 1), model_->index(model_->rows() - 1, model_->cols() - 1)),
        QItemSelectionModel::ClearAndSelect);
}

void StringGrid::mouseDoubleClickEvent(QMouseEvent* event)
{
    QTableView::mouseDoubleClickEvent(event);
    emit doubleClicked();
}

// -------------------------------------------------------------- ImageControl

ImageControl::ImageControl(QWidget* parent, int width, int height) : QWidget(parent)
{
    resize(width, height);
    setMouseTracking(false);
}

void ImageControl::setPicture(const QImage& picture)
{
    picture_ = picture;
    update();
}

void ImageControl::paintEvent(QPaintEvent*)
{
    if (picture_.isNull()) return;
    QPainter painter(this);
    if (stretch_)
        painter.drawImage(rect(), picture_);
    else
        painter.drawImage(0, 0, picture_);
}

void ImageControl::mousePressEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    emit mousePressed(event->button(), p.x(), p.y());
}

void ImageControl::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    emit mouseMoved(p.x(), p.y());
}

void ImageControl::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    emit mouseReleased(event->button(), p.x(), p.y());
}

}  // namespace radmtf
