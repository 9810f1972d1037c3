#pragma once

#include "surface.h"

#include <QDateTime>
#include <QString>
#include <functional>
#include <memory>
#include <utility>

class QPaintDevice;

namespace trameda {

class SafeFile;

// One document being printed: a paged device the printer draws on, and the way to send or
// withdraw it.
class PrintDocument {
public:
    virtual ~PrintDocument();

    virtual QPaintDevice& device() = 0;
    // Whether the device has failed since the document began (a printer gone, a full disk).
    virtual bool failed() const = 0;
    // Ends `painter`, which is active on device(), and sends the document. Throws RuntimeError
    // when it cannot be sent, std::bad_alloc when memory runs out on the way; either way nothing
    // incomplete is sent.
    virtual void end(QPainter& painter) = 0;
    // Ends `painter` and withdraws the document, as far as the device allows. A painter whose
    // engine fails while ending is left as it is.
    virtual void abort(QPainter& painter) noexcept = 0;
};

// A one-page A4 PDF at PdfPrintOutput::kDotsPerInch, written to `file`, which is open. The file
// is committed only when the document is complete, and then `written` is told where it went; a
// document that fails or is withdrawn leaves nothing behind.
std::unique_ptr<PrintDocument>
pdfDocument(std::unique_ptr<SafeFile> file,
            std::function<void(const QString& path)> written = nullptr);

// Destroys `painter`, which must not outlive its device. A painter whose engine failed while
// ending (the PDF engine, short of memory as it writes the page) is let go of without being ended
// once more: that would throw from its destructor.
void disposePainter(std::unique_ptr<QPainter>& painter) noexcept;

// Where printed documents go. Kept apart from the printer so that the window can be given
// another destination than the system's (the tests print into a folder of their own).
class PrintOutput {
public:
    virtual ~PrintOutput();
    // A new document of one page. Throws RuntimeError(PrinterError) when none can be begun.
    virtual std::unique_ptr<PrintDocument> open() = 0;
    // The file the latest document was written to, once complete; empty while it is drawn, when
    // it failed or went to a printer, and before the first.
    virtual QString lastPath() const { return {}; }
};

// Pages as PDF files in a folder (the current folder when none is given, as it is when a document
// begins), A4, named after the moment the document begins: stampa-AAAAMMGG-hhmmss.pdf, then -2,
// -3 ... when that name is taken by the time the document is complete. An existing file is never
// overwritten, and a file appears only once complete.
class PdfPrintOutput : public PrintOutput {
public:
    static constexpr int kDotsPerInch = 600;

    explicit PdfPrintOutput(QString folder = {});
    std::unique_ptr<PrintDocument> open() override;

    // The name of the `attempt`th file (1 for the first) begun at `when`.
    static QString fileName(const QDateTime& when, int attempt);
    QString lastPath() const override { return m_lastPath; }

private:
    QString m_folder;
    QString m_lastPath;
};

// The printer as the conversion draws on it: the drawing members of every surface in a user
// scale over the page's printable area, plus EndDoc. A document is begun by beginDocument() or by
// the first use of the page after the previous one ended, and holds one page; anything drawn
// beyond the page is lost.
class Printer : public DrawingSurface {
public:
    explicit Printer(std::unique_ptr<PrintOutput> output);
    ~Printer() override;
    Printer(const Printer&) = delete;
    Printer& operator=(const Printer&) = delete;

    bool hasDocument() const { return m_document != nullptr; }
    void beginDocument();
    // Sends the open document; nothing happens when none is open.
    void EndDoc();
    // Withdraws the open document, if any, so that the next drawing begins a new one.
    void abortDocument() noexcept;
    // The file the latest document was written to, once complete (PrintOutput::lastPath()).
    QString lastPath() const { return m_output->lastPath(); }
    // The file that the latest document sent went into, forgotten once asked for: empty when it
    // went to a printer, or when none was sent since the last time.
    QString takeSentFile() { return std::exchange(m_sentFile, QString()); }

protected:
    QSize deviceSize() const override;
    double dotsPerInch() const override;
    QPainter& painter() override;
    // A device that reports a failure ends the drawing with a run-time error.
    void drawn() override;

private:
    PrintDocument& document() const;

    std::unique_ptr<PrintOutput> m_output;
    // Begun from const metric reads as well as from drawing.
    mutable std::unique_ptr<PrintDocument> m_document;
    // One for each document, begun on its device.
    mutable std::unique_ptr<QPainter> m_painter;
    mutable QSize m_size;
    mutable double m_dotsPerInch = 0;
    QString m_sentFile;
};

} // namespace trameda
