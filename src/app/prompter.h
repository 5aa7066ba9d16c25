// Every modal question the program asks goes through one interface, so that
// the script driver and the tests can answer them.
#pragma once

#include <QString>
#include <optional>

class QWidget;

namespace radmtf {

class Prompter {
public:
    virtual ~Prompter() = default;
    // The file-open dialog; `fileName` is the name the dialog starts with.
    // Returns the chosen full path, or nothing when cancelled.
    virtual std::optional<QString> openFile(const QString& fileName) = 0;
    // The file-save dialog, starting at `fileName`, offering `filter` (as in
    // "PNG (*.png);;SVG (*.svg)"). Returns the chosen path, or nothing when
    // cancelled (also where no dialog can be shown).
    virtual std::optional<QString> saveFile(const QString& fileName, const QString& filter)
    {
        (void)fileName;
        (void)filter;
        return std::nullopt;
    }
    // The input box: the edited text on OK, the proposed text on Cancel.
    virtual QString inputBox(const QString& title, const QString& prompt, const QString& proposed) = 0;
    // An information box with an OK button.
    virtual void message(const QString& text) = 0;
};

// The real dialogs.
class DialogPrompter : public Prompter {
public:
    std::optional<QString> openFile(const QString& fileName) override;
    std::optional<QString> saveFile(const QString& fileName, const QString& filter) override;
    QString inputBox(const QString& title, const QString& prompt, const QString& proposed) override;
    void message(const QString& text) override;
};

// For actions run without a user before a script: messages are printed on
// standard output as the script driver prints them, prompts take their
// proposed text, the open dialog is cancelled.
class ConsolePrompter : public Prompter {
public:
    std::optional<QString> openFile(const QString&) override { return std::nullopt; }
    QString inputBox(const QString&, const QString&, const QString& proposed) override { return proposed; }
    void message(const QString& text) override;
};

// The prompter in use; the script driver replaces it. SetPrompter returns
// the one it replaces (nullptr stands for the real dialogs).
Prompter& CurrentPrompter();
Prompter* SetPrompter(Prompter* prompter);

}  // namespace radmtf
