#pragma once

#include "runtime/dialogs.h"

#include <QStringList>
#include <deque>

// Dialogs answered by the test: questions take queued answers (Yes when none is queued), the
// folder and save choosers return a queued path (cancel when none), and everything shown is
// recorded.
class FakeDialogs : public trameda::Dialogs {
public:
    void showError(QWidget* owner, const QString& text) override;
    void showInformation(QWidget* owner, const QString& text) override;
    bool askYesNo(QWidget* owner, const QString& text) override;
    QString chooseFolder(QWidget* owner, const QString& prompt) override;
    QString chooseSaveFile(QWidget* owner, const QString& prompt, const QString& suggested,
                           const QString& filter) override;

    QStringList errors;
    QStringList informations;
    QStringList questions;
    QStringList folderPrompts;
    std::deque<bool> answers;
    std::deque<QString> folders;
    QStringList suggestedFiles;   // what each save chooser opened on
    std::deque<QString> saveFiles; // the files chosen to save, in turn (cancel when none)
};
