#include "dialogs.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace trameda {

namespace {
QString programTitle() {
    return QStringLiteral("Trameda");
}
} // namespace

void QtDialogs::showError(QWidget* owner, const QString& text) {
    QMessageBox::critical(owner, programTitle(), text);
}

void QtDialogs::showInformation(QWidget* owner, const QString& text) {
    QMessageBox::information(owner, programTitle(), text);
}

bool QtDialogs::askYesNo(QWidget* owner, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, programTitle(), text, QMessageBox::Yes | QMessageBox::No,
                    owner);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("Sì"));
    box.button(QMessageBox::No)->setText(QStringLiteral("No"));
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

QString QtDialogs::chooseFolder(QWidget* owner, const QString& prompt) {
    return QFileDialog::getExistingDirectory(owner, prompt, QDir::rootPath(),
                                             QFileDialog::ShowDirsOnly);
}

QString QtDialogs::chooseSaveFile(QWidget* owner, const QString& prompt, const QString& suggested,
                                  const QString& filter) {
    return QFileDialog::getSaveFileName(owner, prompt, suggested, filter);
}

void DoEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void Beep() {
    QApplication::beep();
}

} // namespace trameda
