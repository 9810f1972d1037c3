#pragma once

#include "runtime/dialogs.h"

#include <cstdio>

// Dialogs for timing runs: questions are answered Yes, choosers cancelled, errors printed,
// information passed over.
class QuietDialogs : public trameda::Dialogs {
public:
    void showError(QWidget*, const QString& text) override {
        std::fprintf(stderr, "error: %s\n", qPrintable(text));
    }
    void showInformation(QWidget*, const QString&) override {}
    bool askYesNo(QWidget*, const QString&) override { return true; }
    QString chooseFolder(QWidget*, const QString&) override { return {}; }
    QString chooseSaveFile(QWidget*, const QString&, const QString&, const QString&) override {
        return {};
    }
};
