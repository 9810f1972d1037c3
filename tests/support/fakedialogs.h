#pragma once

#include "runtime/dialogs.h"

#include <QStringList>
#include <deque>

// Dialogs answered by the test: questions take queued answers (Yes when none is queued), the
// folder chooser returns a queued path (cancel when none), and everything shown is recorded.
class FakeDialogs : public trameda::Dialogs {
public:
    void showError(QWidget* owner, const QString& text) override;
    void showInformation(QWidget* owner, const QString& text) override;
    bool askYesNo(QWidget* owner, const QString& text) override;
    QString chooseFolder(QWidget* owner, const QString& prompt) override;

    QStringList errors;
    QStringList informations;
    QStringList questions;
    QStringList folderPrompts;
    std::deque<bool> answers;
    std::deque<QString> folders;
};
