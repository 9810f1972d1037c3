#include "fakedialogs.h"

void FakeDialogs::showError(QWidget*, const QString& text) {
    errors << text;
}

void FakeDialogs::showInformation(QWidget*, const QString& text) {
    informations << text;
}

bool FakeDialogs::askYesNo(QWidget*, const QString& text) {
    questions << text;
    if (answers.empty())
        return true;
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
}

QString FakeDialogs::chooseFolder(QWidget*, const QString& prompt) {
    folderPrompts << prompt;
    if (folders.empty())
        return {};
    const QString folder = folders.front();
    folders.pop_front();
    return folder;
}

QString FakeDialogs::chooseSaveFile(QWidget*, const QString&, const QString& suggested,
                                   const QString&) {
    suggestedFiles << suggested;
    if (saveFiles.empty())
        return {};
    const QString file = saveFiles.front();
    saveFiles.pop_front();
    return file;
}
