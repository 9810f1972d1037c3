#include "printer.h"

#include "runtimeerror.h"

#include <QDir>
#include <QFile>
#include <QPageLayout>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSaveFile>

namespace trameda {

PrintDocument::~PrintDocument() = default;
PrintOutput::~PrintOutput() = default;

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
        if (painter.isActive()) {
            m_printer.abort();
            painter.end();
        }
    }

private:
    QPrinter m_printer;
};

class PdfDocument : public PrintDocument {
public:
    explicit PdfDocument(std::unique_ptr<QFileDevice> file)
        : m_file(std::move(file)), m_writer(m_file.get()) {
        m_writer.setResolution(PdfPrintOutput::kDotsPerInch);
        m_writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                           QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
        m_writer.setCreator(QStringLiteral("Trameda"));
        m_writer.setTitle(QStringLiteral("Trameda"));
    }

    QPaintDevice& device() override { return m_writer; }
    bool failed() const override { return m_file->error() != QFileDevice::NoError; }

    void end(QPainter& painter) override {
        bool complete = painter.end() && m_file->error() == QFileDevice::NoError;
        const QString reason = m_file->errorString();
        if (auto* saved = qobject_cast<QSaveFile*>(m_file.get()))
            complete = complete && saved->commit();
        else
            m_file->close();
        if (!complete) {
            discard();
            throw RuntimeError(RuntimeError::PrinterError,
                               m_file->fileName() + QStringLiteral(": ") + reason);
        }
    }

    void abort(QPainter& painter) noexcept override {
        if (painter.isActive())
            painter.end();
        discard();
    }

private:
    // No partial page is left behind.
    void discard() noexcept {
        if (auto* saved = qobject_cast<QSaveFile*>(m_file.get())) {
            saved->cancelWriting();
        } else if (auto* file = qobject_cast<QFile*>(m_file.get())) {
            file->close();
            file->remove();
        }
    }

    std::unique_ptr<QFileDevice> m_file;
    QPdfWriter m_writer;
};

} // namespace

std::unique_ptr<PrintDocument> pdfDocument(std::unique_ptr<QFileDevice> file) {
    return std::make_unique<PdfDocument>(std::move(file));
}

// ---------------------------------------------------------------------------------------------

PdfPrintOutput::PdfPrintOutput(QString folder) : m_folder(std::move(folder)) {}

QString PdfPrintOutput::fileName(const QDateTime& when, int attempt) {
    QString name = QStringLiteral("stampa-") + when.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    if (attempt > 1)
        name += u'-' + QString::number(attempt);
    return name + QStringLiteral(".pdf");
}

std::unique_ptr<PrintDocument> PdfPrintOutput::open() {
    const QDateTime now = QDateTime::currentDateTime();
    const QDir folder(m_folder);
    for (int attempt = 1;; ++attempt) {
        auto file = std::make_unique<QFile>(folder.filePath(fileName(now, attempt)));
        // NewOnly refuses an existing file, also one that appears between a check and the open.
        if (file->open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            m_lastPath = file->fileName();
            return pdfDocument(std::move(file));
        }
        if (!file->exists() || attempt >= 1000)
            throw RuntimeError(RuntimeError::PrinterError,
                               file->fileName() + QStringLiteral(": ") + file->errorString());
    }
}

std::unique_ptr<PrintDocument> SystemPrintOutput::open() {
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    m_lastPath.clear();
    if (info.isNull()) {
        PdfPrintOutput pdf(QDir::currentPath());
        auto document = pdf.open();
        m_lastPath = pdf.lastPath();
        return document;
    }
    return std::make_unique<SystemPrinterDocument>(info);
}

// ---------------------------------------------------------------------------------------------

Printer::Printer(std::unique_ptr<PrintOutput> output) : m_output(std::move(output)) {}

Printer::~Printer() {
    // A document left open when the program ends goes out as it stands.
    try {
        EndDoc();
    } catch (const RuntimeError&) {
    }
}

void Printer::beginDocument() {
    document();
}

PrintDocument& Printer::document() const {
    if (!m_document) {
        auto document = m_output->open();
        if (!m_painter.begin(&document->device())) {
            document->abort(m_painter);
            throw RuntimeError(RuntimeError::PrinterError);
        }
        m_painter.setRenderHint(QPainter::Antialiasing, false);
        m_painter.setRenderHint(QPainter::TextAntialiasing, true);
        // Asked for on every drawing, and the PDF engine works the page rectangle out anew at
        // each request.
        const QPaintDevice& device = document->device();
        m_size = QSize(device.width(), device.height());
        m_dotsPerInch = device.logicalDpiX();
        m_document = std::move(document);
    }
    return *m_document;
}

void Printer::EndDoc() {
    if (!m_document)
        return;
    // Whatever happens, the next drawing begins a new document.
    auto document = std::move(m_document);
    document->end(m_painter);
    m_sentFile = m_output->lastPath();
}

void Printer::abortDocument() noexcept {
    if (!m_document)
        return;
    auto document = std::move(m_document);
    document->abort(m_painter);
}

QSize Printer::deviceSize() const {
    document();
    return m_size;
}

double Printer::dotsPerInch() const {
    document();
    return m_dotsPerInch;
}

QPainter& Printer::painter() {
    document();
    return m_painter;
}

void Printer::drawn() {
    if (m_document && m_document->failed())
        throw RuntimeError(RuntimeError::PrinterError);
}

} // namespace trameda
