#include "systemprinter.h"

#include "runtime/runtimeerror.h"

#include <QPrinter>
#include <QPrinterInfo>

namespace trameda {

namespace {

// The system printer. Qt cannot always withdraw a job once drawing has begun (the CUPS driver
// sends whatever was drawn when the painter ends); abort() asks, and ends the job either way so
// that the next run begins a new one.
class SystemPrinterDocument : public PrintDocument {
public:
    explicit SystemPrinterDocument(const QPrinterInfo& info)
        : m_printer(info, QPrinter::HighResolution) {
        m_printer.setDocName(QStringLiteral("Trameda"));
        m_printer.setFullPage(false);
    }

    QPaintDevice& device() override { return m_printer; }
    bool failed() const override { return m_printer.printerState() == QPrinter::Error; }

    void end(QPainter& painter) override {
        if (!painter.end() || m_printer.printerState() == QPrinter::Error)
            throw RuntimeError(RuntimeError::PrinterError, m_printer.printerName());
    }

    void abort(QPainter& painter) noexcept override {
        try {
            if (painter.isActive()) {
                m_printer.abort();
                painter.end();
            }
        } catch (...) {
            // The printer's engine gave up half way; the painter is let go of.
        }
    }

private:
    QPrinter m_printer;
};

} // namespace

std::unique_ptr<PrintDocument> SystemPrintOutput::open() {
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    m_toPdf = info.isNull();
    if (m_toPdf)
        return m_pdf.open();
    return std::make_unique<SystemPrinterDocument>(info);
}

} // namespace trameda
