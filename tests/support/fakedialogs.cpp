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

namespace {

// The next queued path, or cancel when none is left.
QString next(std::deque<QString>& queue) {
    if (queue.empty())
        return {};
    const QString path = queue.front();
    queue.pop_front();
    return path;
}

} // namespace

QString FakeDialogs::chooseFolder(QWidget*, const QString& prompt) {
    folderPrompts << prompt;
    return next(folders);
}

QString FakeDialogs::chooseSaveFile(QWidget*, const QString&, const QString& suggested,
                                   const QString&) {
    suggestedFiles << suggested;
    return next(saveFiles);
}
