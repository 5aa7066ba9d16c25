// Small widgets that behave like the controls the program's logic is written
// against: radio groups with an item index, up-down counters, memos with
// lines, string grids backed by values, and image controls that show a
// bitmap stretched. Programmatic changes run the same notifications as the
// user's, as the logic expects (a radio group's new index runs its click).
#pragma once

#include <QAbstractTableModel>
#include <QButtonGroup>
#include <QGroupBox>
#include <QImage>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTableView>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <optional>
#include <unordered_map>
#include <vector>

namespace radmtf {

class RadioGroup : public QGroupBox {
    Q_OBJECT
public:
    RadioGroup(const QString& caption, const QStringList& items, int columns, QWidget* parent);
    int itemIndex() const { return index_; }
    // Changing the index runs clicked(), as a user's choice does.
    void setItemIndex(int index);
    QStringList items() const { return items_; }
    QRadioButton* button(int index) const { return buttons_.value(index); }

signals:
    void clicked();

private:
    void onToggled(int index, bool checked);
    QStringList items_;
    QList<QRadioButton*> buttons_;
    QButtonGroup* group_ = nullptr;
    int index_ = -1;
};

class UpDown : public QWidget {
    Q_OBJECT
public:
    UpDown(int minimum, int maximum, int position, QWidget* parent, QLineEdit* associate = nullptr);
    int position() const { return position_; }
    // Moves within the range and updates the bound edit; runs no handler.
    void setPosition(int position);
    int minimum() const { return minimum_; }
    int maximum() const { return maximum_; }
    void setMaximum(int maximum);
    // One arrow click: moves the position one step and runs clicked().
    void step(bool up);

signals:
    void clicked(bool up);

private:
    int minimum_;
    int maximum_;
    int position_;
    QLineEdit* associate_;
};

class Memo : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit Memo(QWidget* parent);
    const QStringList& lines() const { return lines_; }
    void setLines(const QStringList& lines);
    // Replaces the whole text; CR LF, CR or LF end a line.
    void setText(const QString& text);
    void clearLines() { setLines({}); }
    // Adds text whose line breaks become separate lines.
    void addText(const QString& text);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    void refresh();
    QStringList lines_;
    bool updating_ = false;
};

// Grid cells stored as values: an integer cell costs no string, so a pixel
// table of millions of samples stays light. Text cells are kept aside.
class GridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit GridModel(QObject* parent) : QAbstractTableModel(parent) {}
    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : rows_; }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : cols_; }
    QVariant data(const QModelIndex& index, int role) const override;

    // Resizing keeps the text of cells that stay.
    void setSize(int cols, int rows);
    int cols() const { return cols_; }
    int rows() const { return rows_; }
    QString cell(int col, int row) const;
    void setCell(int col, int row, const QString& text);
    void setIntCell(int col, int row, std::int32_t value);
    // A cell's integer, or nothing for an empty cell; a text that is not an
    // integer fails with the conversion message.
    std::optional<std::int32_t> cellValue(int col, int row) const;
    // Writes a block of integer cells at once (one model reset).
    void setIntBlock(int col0, int row0, int width, int height, const std::int32_t* values);
    void notifyAllChanged();
    // Text of the cells of columns [0, columns) below the first row, made on
    // demand; a cell written since shows its own text.
    using TextSource = std::function<QString(int col, int row)>;
    void setTextSource(int columns, TextSource source);

private:
    enum : std::uint8_t { kEmpty = 0, kInt = 1, kText = 2 };
    std::size_t at(int col, int row) const
    {
        return std::size_t(row) * std::size_t(cols_) + std::size_t(col);
    }
    int cols_ = 0;
    int rows_ = 0;
    std::vector<std::int32_t> values_;
    std::vector<std::uint8_t> kinds_;
    std::unordered_map<std::size_t, QString> texts_;
    int sourceCols_ = 0;
    TextSource source_;
    bool batching_ = false;
};

class StringGrid : public QTableView {
    Q_OBJECT
public:
    StringGrid(int cols, int rows, QWidget* parent);
    GridModel* grid() const { return model_; }
    void selectDataCells();

signals:
    void doubleClicked();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    GridModel* model_;
};

// Shows a picture, stretched to the control or at its own size, and reports
// the pointer in control pixels.
class ImageControl : public QWidget {
    Q_OBJECT
public:
    ImageControl(QWidget* parent, int width, int height);
    void setPicture(const QImage& picture);
    const QImage& picture() const { return picture_; }
    void setStretch(bool stretch)
    {
        stretch_ = stretch;
        update();
    }

signals:
    void mousePressed(Qt::MouseButton button, int x, int y);
    void mouseMoved(int x, int y);
    void mouseReleased(Qt::MouseButton button, int x, int y);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QImage picture_;
    bool stretch_ = true;
};

}  // namespace radmtf
