// Placing named controls at fixed positions, as both windows are laid out.
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <initializer_list>
#include <utility>

namespace radmtf {

inline QLineEdit* MakeEdit(QWidget* parent, const char* name, const QString& text, int x, int y, int w,
                           int h = 21)
{
    auto* edit = new QLineEdit(text, parent);
    edit->setObjectName(name);
    edit->setGeometry(x, y, w, h);
    return edit;
}

inline QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption, int x, int y, int w,
                               int h = 23)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setGeometry(x, y, w, h);
    return button;
}

inline QLabel* MakeLabel(QWidget* parent, const QString& caption, int x, int y, int w = 60, int h = 16)
{
    auto* label = new QLabel(caption, parent);
    label->setGeometry(x, y, w, h);
    return label;
}

// One-line tooltips by control name; a name that is not there is a slip in
// the table, caught by the window tests that check every control has one.
inline void SetToolTips(QWidget* window, std::initializer_list<std::pair<const char*, QString>> tips)
{
    for (const auto& [name, tip] : tips)
        if (auto* control = window->findChild<QWidget*>(name)) control->setToolTip(tip);
}

}  // namespace radmtf
