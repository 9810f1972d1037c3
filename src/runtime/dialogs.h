#pragma once

#include <QString>

class QWidget;

namespace trameda {

// The platform's message boxes and choosers, behind an interface so that tests can answer them.
class Dialogs {
public:
    virtual ~Dialogs() = default;

    // A run-time error or another failure the user must hear about.
    virtual void showError(QWidget* owner, const QString& text) = 0;
    // Something the user should know that is no failure.
    virtual void showInformation(QWidget* owner, const QString& text) = 0;
    // A Yes/No question, Yes the default; true for Yes.
    virtual bool askYesNo(QWidget* owner, const QString& text) = 0;
    // A folder chooser showing `prompt`, starting at the top of the folder tree. The chosen
    // folder's full path, or an empty string when the user cancels.
    virtual QString chooseFolder(QWidget* owner, const QString& prompt) = 0;
    // A save chooser titled `prompt`, opening on `suggested` (a folder and a file name) and
    // offering files of `filter` ("Documenti PDF (*.pdf)"); it asks before replacing a file. The
    // chosen file's full path, or an empty string when the user cancels.
    virtual QString chooseSaveFile(QWidget* owner, const QString& prompt, const QString& suggested,
                                   const QString& filter) = 0;
};

// The real dialogs of the desktop.
class QtDialogs : public Dialogs {
public:
    void showError(QWidget* owner, const QString& text) override;
    void showInformation(QWidget* owner, const QString& text) override;
    bool askYesNo(QWidget* owner, const QString& text) override;
    QString chooseFolder(QWidget* owner, const QString& prompt) override;
    QString chooseSaveFile(QWidget* owner, const QString& prompt, const QString& suggested,
                           const QString& filter) override;
};

// Runs pending events (a click, a repaint) before returning.
void DoEvents();
void Beep();

} // namespace trameda
