#pragma once

// The system's printer, apart from the rest of the printing so that only the window links the
// printing support (and with it Qt Widgets).

#include "printer.h"

namespace trameda {

// The system's default printer, used without a dialog on its own default paper; when the system
// has no printer, a PDF file in the current folder.
class SystemPrintOutput : public PrintOutput {
public:
    std::unique_ptr<PrintDocument> open() override;
    QString lastPath() const override { return m_toPdf ? m_pdf.lastPath() : QString(); }

private:
    PdfPrintOutput m_pdf;
    bool m_toPdf = false;
};

} // namespace trameda
