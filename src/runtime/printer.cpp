#include "printer.h"

#include "runtime/runtimeerror.h"
#include "files/safewrite.h"

#include <QDir>
#include <QPageLayout>
#include <QPaintEngine>
#include <QPdfWriter>

namespace trameda {

PrintDocument::~PrintDocument() = default;
PrintOutput::~PrintOutput() = default;

namespace {

class PdfDocument : public PrintDocument {
public:
    PdfDocument(std::unique_ptr<SafeFile> file, std::function<void(const QString&)> written)
        : m_file(std::move(file)), m_written(std::move(written)), m_writer(m_file.get()) {
        m_writer.setResolution(PdfPrintOutput::kDotsPerInch);
        m_writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                           QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
        m_writer.setCreator(QStringLiteral("Trameda"));
        m_writer.setTitle(QStringLiteral("Trameda"));
    }

    QPaintDevice& device() override { return m_writer; }
    bool failed() const override { return m_file->failed(); }

    void end(QPainter& painter) override {
        bool ended = false;
        try {
            ended = painter.end();
        } catch (...) {
            m_file->discard();
            throw;
        }
        const Failure why =
            ended ? m_file->commit()
                  : Failure(m_file->failed() ? m_file->failure()
                                             : QStringLiteral("scrittura non completata"));
        if (why) {
            m_file->discard();
            throw RuntimeError(RuntimeError::PrinterError,
                               m_file->path() + QStringLiteral(": ") + *why);
        }
        if (m_written)
            m_written(m_file->path());
    }

    void abort(QPainter& painter) noexcept override {
        try {
            if (painter.isActive())
                painter.end();
        } catch (...) {
            // The PDF engine gave up half way; the painter is let go of.
        }
        m_file->discard();
    }

private:
    std::unique_ptr<SafeFile> m_file;
    std::function<void(const QString&)> m_written;
    QPdfWriter m_writer;
};

} // namespace

std::unique_ptr<PrintDocument> pdfDocument(std::unique_ptr<SafeFile> file,
                                           std::function<void(const QString&)> written) {
    return std::make_unique<PdfDocument>(std::move(file), std::move(written));
}

void disposePainter(std::unique_ptr<QPainter>& painter) noexcept {
    // Still active only when its engine failed while ending. Ending it once more, as its
    // destructor would, fails again where nothing can catch it; the engine is marked as done
    // instead, and the painter lets go of it without ending it.
    if (painter && painter->isActive())
        if (QPaintEngine* engine = painter->paintEngine())
            engine->setActive(false);
    painter.reset();
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
    m_lastPath.clear();
    const QDateTime begun = QDateTime::currentDateTime();
    // Fixed now: the current folder may change before the document is complete. A current
    // folder without a name (removed since) is where a palette would be saved too: the page is
    // named relative to it, and the writer says why nothing can be made there.
    const QString folder = m_folder.isEmpty() ? QDir::currentPath() : QDir(m_folder).absolutePath();
    auto file = std::make_unique<SafeFile>([folder, begun](int attempt) {
        const QString name = fileName(begun, attempt);
        return folder.isEmpty() ? name : QDir(folder).absoluteFilePath(name);
    });
    if (!file->open())
        throw RuntimeError(RuntimeError::PrinterError,
                           file->path() + QStringLiteral(": ") + file->failure() +
                               (folder.isEmpty()
                                    ? QStringLiteral(" (la cartella da cui è stato "
                                                     "avviato il programma non c'è più)")
                                    : QString()));
    return pdfDocument(std::move(file), [this](const QString& path) { m_lastPath = path; });
}

// ---------------------------------------------------------------------------------------------

Printer::Printer(std::unique_ptr<PrintOutput> output) : m_output(std::move(output)) {}

Printer::~Printer() {
    // A document left open when the program ends goes out as it stands.
    try {
        EndDoc();
    } catch (...) {
    }
}

void Printer::beginDocument() {
    document();
}

PrintDocument& Printer::document() const {
    if (!m_document) {
        auto document = m_output->open();
        m_painter = std::make_unique<QPainter>();
        try {
            if (!m_painter->begin(&document->device()))
                throw RuntimeError(RuntimeError::PrinterError);
        } catch (...) {
            document->abort(*m_painter);
            disposePainter(m_painter);
            throw;
        }
        m_painter->setRenderHint(QPainter::Antialiasing, false);
        m_painter->setRenderHint(QPainter::TextAntialiasing, true);
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
    try {
        document->end(*m_painter);
    } catch (...) {
        disposePainter(m_painter);
        throw;
    }
    disposePainter(m_painter);
    m_sentFile = m_output->lastPath();
}

void Printer::abortDocument() noexcept {
    if (!m_document)
        return;
    auto document = std::move(m_document);
    document->abort(*m_painter);
    disposePainter(m_painter);
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
    return *m_painter;
}

void Printer::drawn() {
    if (m_document && m_document->failed())
        throw RuntimeError(RuntimeError::PrinterError);
}

} // namespace trameda
