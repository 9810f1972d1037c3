#include "commandline.h"

#include "document/key.h"
#include "document/patternpdf.h"
#include "document/stitchgrid.h"
#include "palette/autopalette.h"
#include "palette/colfile.h"
#include "pattern/conversion.h"
#include "pattern/rules.h"
#include "picture/surfaces.h"
#include "platform/colour.h"
#include "platform/controls.h"
#include "platform/picture.h"
#include "platform/printer.h"
#include "platform/runtimeerror.h"
#include "platform/safewrite.h"
#include "platform/surface.h"
#include "threads/threadtable.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QTextStream>
#include <array>
#include <functional>
#include <new>
#include <optional>
#include <span>
#include <vector>

namespace trameda::commandline {

namespace {

constexpr int kMaxSurfaceSide = 4000;

QString helpText() {
    return QStringLiteral(
        "Uso: trameda --chart IMMAGINE [--png SCHEMA.png] [--pdf PAGINA.pdf]\n"
        "             [--pattern SCHEMA.pdf] [--key-csv LEGENDA.csv] [opzioni]\n"
        "     trameda [IMMAGINE]\n"
        "Senza argomenti apre la finestra; con un'immagine (jpg, gif, bmp) come solo argomento\n"
        "apre la finestra su quell'immagine. Le opzioni di Qt (-style, -platform, -geometry,\n"
        "-reverse ...) valgono per la finestra.\n"
        "\n"
        "Fa lo schema a punto croce di un'immagine (jpg, gif, bmp) senza aprire la finestra.\n"
        "\n"
        "  --chart IMMAGINE    l'immagine da convertire\n"
        "  --png FILE          lo schema come lo mostra la finestra, in PNG\n"
        "  --pdf FILE          la pagina stampata, in PDF (A4)\n"
        "  --key               la legenda dei colori: lettera, colore, numero di punti\n"
        "                      (e il filo DMC, con --threads o --pattern)\n"
        "  --pattern FILE      lo schema da ricamare, in PDF su più pagine: copertina,\n"
        "                      pagine con i simboli e i numeri dei punti, legenda con\n"
        "                      fili DMC, metri e matasse\n"
        "  --key-csv FILE      la legenda in CSV, come lista della spesa: lettera, colore,\n"
        "                      filo, nome, differenza, punti, matasse\n"
        "  --threads dmc       ogni colore in uso diventa quello del filo DMC più vicino\n"
        "  --fabric N          con --pattern o --key-csv: punti per pollice della tela Aida,\n"
        "                      o fili per pollice del lino con --over 2, da 6 a 40 (14)\n"
        "  --over 1|2          con --pattern o --key-csv: 2 per ricamare su due fili di lino\n"
        "                      o etamine (1, Aida)\n"
        "  --strands N         con --pattern o --key-csv: capi nell'ago, da 1 a 6 (2)\n"
        "  --margin P          con --pattern o --key-csv: filo in più per gli errori, in\n"
        "                      percentuale, da 0 a 100 (20)\n"
        "  --paper A4|letter   con --pattern: il foglio (A4)\n"
        "  --cell MM           con --pattern: il lato di una cella in mm, da 2,5 a 8 (3,5)\n"
        "  --symbols letters   con --pattern: le lettere A-P della finestra invece dei simboli\n"
        "                      (fino a 16 colori)\n"
        "  --title TESTO       con --pattern: il titolo (il nome dell'immagine)\n"
        "  --bw                con --pattern: solo simboli neri su bianco, per stampanti\n"
        "                      senza colore\n"
        "  --across N          punti in larghezza, da 1 a 150 (45)\n"
        "  --down N            punti in altezza, da 1 a 150 (50)\n"
        "  --size LxA          la superficie dello schema in pixel (400 di larghezza,\n"
        "                      altezza per punti quadrati)\n"
        "  --colors N          colori della tavolozza in uso, da 1 a 16 (8)\n"
        "  --palette FILE.col  i 16 colori da un file di colori\n"
        "  --auto              tavolozza automatica dall'immagine (come AUTOColori)\n"
        "  --many              con --auto: molti colori\n"
        "  --pastel            con --auto: colori pastello\n"
        "  --squares           quadratini colorati invece delle crocette\n"
        "  --no-grid           senza griglia\n"
        "  --no-letters        senza le lettere dei colori\n"
        "  --help              questo aiuto\n"
        "  --version           la versione\n"
        "\n"
        "Per esempio:\n"
        "  trameda --chart foto.jpg --palette colori.col --across 120 --down 90 \\\n"
        "          --pattern schema.pdf --fabric 14\n"
        "\n"
        "Lo schema, la legenda e i conteggi hanno le celle che la conversione pone\n"
        "sull'immagine: 200 diviso i punti, troncato, è il passo, e 45 punti (passo 4)\n"
        "danno 50 celle.\n"
        "\n"
        "Un file scritto prende il posto di quello che c'era solo quando è completo; se la\n"
        "scrittura non riesce, il file che c'era resta com'era. Si scrivono solo file normali\n"
        "(non cartelle, dispositivi o FIFO), mai sopra l'immagine, i colori o l'altro risultato.\n"
        "\n"
        "Uscita: 0 fatto, 1 un file non si legge o non si scrive, 2 riga di comando errata.\n");
}

std::optional<int> number(const QString& text, int min, int max) {
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < min || value > max)
        return std::nullopt;
    return value;
}

Parsed failure(const QString& message) {
    Parsed p;
    p.action = Parsed::Action::Error;
    p.text = message;
    return p;
}

// Every file a request names, read or written. An output added to the command line is one more
// line here, and is then kept apart from the others and checked before anything is read.
struct NamedFile {
    QString option;
    QString path; // empty when not asked for
    bool output;
};

std::vector<NamedFile> namedFiles(const ChartRequest& r) {
    return {
        {QStringLiteral("chart"), r.picture, false},  {QStringLiteral("palette"), r.palette, false},
        {QStringLiteral("png"), r.png, true},         {QStringLiteral("pdf"), r.pdf, true},
        {QStringLiteral("pattern"), r.pattern, true}, {QStringLiteral("key-csv"), r.keyCsv, true},
    };
}

// An output that is also an input, or another output, under any name or link.
std::optional<QString> sharedFile(const std::vector<NamedFile>& files) {
    for (std::size_t i = 0; i < files.size(); ++i)
        for (std::size_t j = i + 1; j < files.size(); ++j) {
            const NamedFile& a = files[i];
            const NamedFile& b = files[j];
            if ((a.output || b.output) && !a.path.isEmpty() && !b.path.isEmpty() &&
                sameFile(a.path, b.path))
                return QStringLiteral("--%1 e --%2 nominano lo stesso file")
                    .arg(a.option, b.option);
        }
    return std::nullopt;
}

QString cannotWrite(const QString& path, const QString& why) {
    return QStringLiteral("trameda: impossibile scrivere %1: %2").arg(path, why);
}

// The printed page goes to a file that appears at its path only once it is complete.
class SavedPdfOutput : public PrintOutput {
public:
    explicit SavedPdfOutput(QString path) : m_path(std::move(path)) {}
    std::unique_ptr<PrintDocument> open() override {
        auto file = std::make_unique<SafeFile>(m_path);
        if (!file->open())
            throw RuntimeError(RuntimeError::PrinterError,
                               m_path + QStringLiteral(": ") + file->failure());
        return pdfDocument(std::move(file));
    }

private:
    QString m_path;
};

// The conversion as the window runs it, on surfaces and settings of its own.
class BatchChart : public pattern::ChartHost {
public:
    BatchChart(const ChartRequest& request, ImageSurface& source, ImageSurface& chart,
               const std::array<Colour, 16>& swatches, int colours)
        : m_request(request), m_source(source), m_chart(chart), m_swatches(swatches),
          m_coloursText(QString::number(colours)), m_passox(pattern::cellStep(request.across)),
          m_passoy(pattern::cellStep(request.down)),
          m_grid(pattern::cellsOnPicture(m_passox), pattern::cellsOnPicture(m_passoy)) {}

    int stitchesAcross() const override { return m_request.across; }
    int stitchesDown() const override { return m_request.down; }
    QString coloursText() const override { return m_coloursText; }
    Colour swatchColour(int index) const override {
        if (index < 0 || index > 15)
            throw RuntimeError(RuntimeError::SubscriptOutOfRange);
        return m_swatches[std::size_t(index)];
    }
    bool squares() const override { return m_request.squares; }
    bool grid() const override { return m_request.grid; }
    bool letters() const override { return m_request.letters; }
    bool printing() const override { return !m_request.pdf.isEmpty(); }
    ImageSurface& source() override { return m_source; }
    ImageSurface& chart() override { return m_chart; }
    Printer& printer() override {
        if (!m_printer)
            m_printer = std::make_unique<Printer>(std::make_unique<SavedPdfOutput>(m_request.pdf));
        return *m_printer;
    }
    pattern::ColourTables tables() override { return {m_rosso, m_verde, m_blu}; }
    int& annullato() override { return m_annullato; }
    void showCancel() override {}
    void hideCancel() override {}
    void yield() override {}
    void cellChosen(int x, int y, int scelto) override {
        // The stitches are the cells of the picture: those whose corner lies on it.
        if (x < 200 && y < 200)
            m_grid.set(x / m_passox, y / m_passoy, scelto);
    }

    const document::StitchGrid& stitches() const { return m_grid; }

private:
    const ChartRequest& m_request;
    ImageSurface& m_source;
    ImageSurface& m_chart;
    std::array<Colour, 16> m_swatches;
    QString m_coloursText;
    std::unique_ptr<Printer> m_printer;
    pattern::Table m_rosso{}, m_verde{}, m_blu{};
    int m_annullato = 0;
    int m_passox;
    int m_passoy;
    document::StitchGrid m_grid;
};

// Writes `path` all or nothing; false after saying why on `err`.
bool save(const QString& path, const std::function<bool(QIODevice&)>& write, QTextStream& err) {
    if (const QString why = writeFileSafely(path, write); !why.isEmpty()) {
        err << cannotWrite(path, why) << Qt::endl;
        return false;
    }
    return true;
}

} // namespace

Parsed parse(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption chart(QStringLiteral("chart"), {}, QStringLiteral("IMMAGINE"));
    const QCommandLineOption png(QStringLiteral("png"), {}, QStringLiteral("FILE"));
    const QCommandLineOption pdf(QStringLiteral("pdf"), {}, QStringLiteral("FILE"));
    const QCommandLineOption key(QStringLiteral("key"));
    const QCommandLineOption across(QStringLiteral("across"), {}, QStringLiteral("N"));
    const QCommandLineOption down(QStringLiteral("down"), {}, QStringLiteral("N"));
    const QCommandLineOption size(QStringLiteral("size"), {}, QStringLiteral("LxA"));
    const QCommandLineOption colors(QStringLiteral("colors"), {}, QStringLiteral("N"));
    const QCommandLineOption palette(QStringLiteral("palette"), {}, QStringLiteral("FILE"));
    const QCommandLineOption automatic(QStringLiteral("auto"));
    const QCommandLineOption many(QStringLiteral("many"));
    const QCommandLineOption pastel(QStringLiteral("pastel"));
    const QCommandLineOption squares(QStringLiteral("squares"));
    const QCommandLineOption noGrid(QStringLiteral("no-grid"));
    const QCommandLineOption noLetters(QStringLiteral("no-letters"));
    const QCommandLineOption pattern(QStringLiteral("pattern"), {}, QStringLiteral("FILE"));
    const QCommandLineOption keyCsv(QStringLiteral("key-csv"), {}, QStringLiteral("FILE"));
    const QCommandLineOption threads(QStringLiteral("threads"), {}, QStringLiteral("MARCA"));
    const QCommandLineOption fabric(QStringLiteral("fabric"), {}, QStringLiteral("N"));
    const QCommandLineOption strands(QStringLiteral("strands"), {}, QStringLiteral("N"));
    const QCommandLineOption paper(QStringLiteral("paper"), {}, QStringLiteral("FOGLIO"));
    const QCommandLineOption title(QStringLiteral("title"), {}, QStringLiteral("TESTO"));
    const QCommandLineOption bw(QStringLiteral("bw"));
    const QCommandLineOption over(QStringLiteral("over"), {}, QStringLiteral("N"));
    const QCommandLineOption margin(QStringLiteral("margin"), {}, QStringLiteral("P"));
    const QCommandLineOption cell(QStringLiteral("cell"), {}, QStringLiteral("MM"));
    const QCommandLineOption symbols(QStringLiteral("symbols"), {}, QStringLiteral("SIMBOLI"));
    const QCommandLineOption help(QStringLiteral("help"));
    const QCommandLineOption version(QStringLiteral("version"));
    parser.addOptions({chart,   png,       pdf,     key,     across,  down,   size,      colors,
                       palette, automatic, many,    pastel,  squares, noGrid, noLetters, pattern,
                       keyCsv,  threads,   fabric,  strands, paper,   title,  bw,        over,
                       margin,  cell,      symbols, help,    version});

    if (!parser.parse(arguments)) {
        if (!parser.unknownOptionNames().isEmpty())
            return failure(
                QStringLiteral("opzione sconosciuta: %1").arg(parser.unknownOptionNames().first()));
        return failure(QStringLiteral("riga di comando errata: %1").arg(parser.errorText()));
    }
    if (parser.isSet(help))
        return {Parsed::Action::Help, {}, helpText()};
    if (parser.isSet(version))
        return {Parsed::Action::Version,
                {},
                QStringLiteral("trameda %1\n").arg(QStringLiteral(TRAMEDA_VERSION))};
    if (!parser.positionalArguments().isEmpty())
        return failure(
            QStringLiteral("argomento inatteso: %1").arg(parser.positionalArguments().first()));

    Parsed result;
    ChartRequest& r = result.request;
    // An option given twice is a mistake the user should hear about, not a silent choice.
    const QStringList given = parser.optionNames();
    for (const QString& name : given)
        if (given.count(name) > 1)
            return failure(QStringLiteral("--%1 data più volte").arg(name));

    if (!parser.isSet(chart))
        return failure(QStringLiteral("manca --chart IMMAGINE (--help per l'aiuto)"));
    r.picture = parser.value(chart);
    r.png = parser.value(png);
    r.pdf = parser.value(pdf);
    r.key = parser.isSet(key);
    r.pattern = parser.value(pattern);
    r.keyCsv = parser.value(keyCsv);
    if (r.png.isEmpty() && r.pdf.isEmpty() && !r.key && r.pattern.isEmpty() && r.keyCsv.isEmpty())
        return failure(
            QStringLiteral("nessun risultato chiesto: --png, --pdf, --pattern, --key o --key-csv"));

    const auto ranged = [&](const QCommandLineOption& option, int min, int max,
                            int& into) -> std::optional<QString> {
        if (!parser.isSet(option))
            return std::nullopt;
        const auto value = number(parser.value(option), min, max);
        if (!value)
            return QStringLiteral("--%1 vuole un numero intero da %2 a %3, non \"%4\"")
                .arg(option.names().first())
                .arg(min)
                .arg(max)
                .arg(parser.value(option));
        into = *value;
        return std::nullopt;
    };
    if (auto e = ranged(across, 1, 150, r.across))
        return failure(*e);
    if (auto e = ranged(down, 1, 150, r.down))
        return failure(*e);
    if (auto e = ranged(colors, 1, 16, r.colours))
        return failure(*e);
    r.coloursGiven = parser.isSet(colors);

    // The pattern's own settings mean nothing without the outputs they shape.
    for (const auto* option : {&paper, &title, &bw, &cell, &symbols})
        if (parser.isSet(*option) && r.pattern.isEmpty())
            return failure(
                QStringLiteral("--%1 vale solo con --pattern").arg(option->names().first()));
    for (const auto* option : {&fabric, &strands, &over, &margin})
        if (parser.isSet(*option) && r.pattern.isEmpty() && r.keyCsv.isEmpty())
            return failure(QStringLiteral("--%1 vale solo con --pattern o --key-csv")
                               .arg(option->names().first()));
    if (auto e = ranged(fabric, 6, 40, r.fabric))
        return failure(*e);
    if (auto e = ranged(strands, 1, 6, r.strands))
        return failure(*e);
    if (auto e = ranged(over, 1, 2, r.over))
        return failure(*e);
    if (auto e = ranged(margin, 0, 100, r.margin))
        return failure(*e);
    if (parser.isSet(cell)) {
        // Millimetres as a stitcher writes them, with a comma or a full stop.
        QString text = parser.value(cell);
        text.replace(u',', u'.');
        bool ok = false;
        const double mm = text.toDouble(&ok);
        if (!ok || !(mm >= document::kSmallestCell && mm <= document::kLargestCell))
            return failure(QStringLiteral("--cell vuole i millimetri da 2,5 a 8, non \"%1\"")
                               .arg(parser.value(cell)));
        r.cell = mm;
    }
    if (parser.isSet(symbols)) {
        if (parser.value(symbols).compare(QStringLiteral("letters"), Qt::CaseInsensitive) != 0)
            return failure(QStringLiteral("--symbols conosce solo letters, non \"%1\"")
                               .arg(parser.value(symbols)));
        r.symbols = document::SymbolSet::Letters;
    }
    if (parser.isSet(paper)) {
        const QString name = parser.value(paper);
        if (name.compare(QStringLiteral("A4"), Qt::CaseInsensitive) == 0)
            r.paper = document::Paper::A4;
        else if (name.compare(QStringLiteral("letter"), Qt::CaseInsensitive) == 0)
            r.paper = document::Paper::Letter;
        else
            return failure(QStringLiteral("--paper vuole A4 o letter, non \"%1\"").arg(name));
    }
    if (parser.isSet(threads)) {
        if (parser.value(threads).compare(QStringLiteral("dmc"), Qt::CaseInsensitive) != 0)
            return failure(QStringLiteral("--threads conosce solo i fili dmc, non \"%1\"")
                               .arg(parser.value(threads)));
        r.threads = true;
    }
    r.title = parser.value(title);
    r.blackAndWhite = parser.isSet(bw);

    if (parser.isSet(size)) {
        const QStringList parts =
            parser.value(size).split(u'x', Qt::KeepEmptyParts, Qt::CaseInsensitive);
        const auto w = parts.size() == 2 ? number(parts[0], 1, kMaxSurfaceSide) : std::nullopt;
        const auto h = parts.size() == 2 ? number(parts[1], 1, kMaxSurfaceSide) : std::nullopt;
        if (!w || !h)
            return failure(QStringLiteral("--size vuole LARGHEZZAxALTEZZA in pixel, da 1 a %1, "
                                          "non \"%2\"")
                               .arg(kMaxSurfaceSide)
                               .arg(parser.value(size)));
        r.size = QSize(*w, *h);
    }

    r.palette = parser.value(palette);
    r.autoPalette = parser.isSet(automatic);
    r.many = parser.isSet(many);
    r.pastel = parser.isSet(pastel);
    if (r.autoPalette && !r.palette.isEmpty())
        return failure(QStringLiteral("--palette e --auto non vanno insieme"));
    if ((r.many || r.pastel) && !r.autoPalette)
        return failure(QStringLiteral("--many e --pastel valgono solo con --auto"));
    r.squares = parser.isSet(squares);
    r.grid = !parser.isSet(noGrid);
    r.letters = !parser.isSet(noLetters);
    if (auto e = sharedFile(namedFiles(r)))
        return failure(*e);
    result.action = Parsed::Action::Chart;
    return result;
}

QSize surfaceSize(const ChartRequest& request) {
    if (!request.size.isEmpty())
        return request.size;
    const int height = 400 * request.down / request.across;
    if (height > kMaxSurfaceSide)
        return {std::max(1, kMaxSurfaceSide * request.across / request.down), kMaxSurfaceSide};
    return {400, std::max(1, height)};
}

namespace {

int chart(const ChartRequest& request, QTextStream& out, QTextStream& err) {
    // An output that can never be written is refused before any work is done.
    for (const NamedFile& file : namedFiles(request))
        if (file.output && !file.path.isEmpty())
            if (const QString why = outputProblem(file.path); !why.isEmpty()) {
                err << cannotWrite(file.path, why) << Qt::endl;
                return kFileError;
            }

    // Unlike the window, a run without one never goes on with a blank picture.
    Picture picture;
    try {
        picture = LoadPicture(request.picture);
    } catch (const RuntimeError& e) {
        err << "trameda: " << request.picture << ": " << failureCause(e) << Qt::endl;
        return kFileError;
    }

    std::array<Colour, 16> swatches{};
    for (int i = 0; i < 16; ++i)
        swatches[std::size_t(i)] = QBColor(i);
    if (!request.palette.isEmpty()) {
        const palette::ColFileRead read = palette::readColFile(request.palette);
        if (!read.ok()) {
            err << "trameda: " << palette::describeFailure(read, request.palette) << Qt::endl;
            return kFileError;
        }
        swatches = read.colours;
    }

    ImageSurface source;
    ImageSurface chart;
    for (ImageSurface* surface : {&source, &chart}) {
        surface->setBackColor(PictureBox::kBlankColour);
        surface->resizeImage(surfaceSize(request));
        picture::paintOver(*surface, picture);
    }

    int colours = request.colours;
    if (request.autoPalette) {
        const palette::AutoPalette chosen =
            palette::autoPalette(source, {request.many, request.pastel});
        swatches = chosen.swatches;
        if (!request.coloursGiven)
            colours = chosen.count;
    }

    // The threads of the entries in use, matched to the colours as chosen; with --threads the
    // entries then take their threads' colours for the whole conversion.
    const std::span<Colour> inUse(swatches.data(), std::size_t(std::min(colours, 16)));
    const bool namesThreads = request.threads || !request.pattern.isEmpty();
    const threads::ThreadTable* table = nullptr;
    std::vector<threads::ThreadMatch> matches;
    if (namesThreads || !request.keyCsv.isEmpty()) {
        table = &threads::ThreadTable::dmc();
        matches = document::matchThreads(inUse, *table);
        if (request.threads)
            document::snapToThreads(inUse, matches, *table);
    }

    BatchChart host(request, source, chart, swatches, colours);
    try {
        pattern::convert(host);
    } catch (const RuntimeError& e) {
        // The page's file names itself in the error, and why it could not be written.
        if (e.code() == RuntimeError::PrinterError)
            err << "trameda: impossibile scrivere "
                << (e.detail().isEmpty() ? request.pdf : e.detail()) << Qt::endl;
        else
            err << "trameda: " << e.description() << Qt::endl;
        return kFileError;
    }

    if (!request.png.isEmpty() &&
        !save(
            request.png, [&](QIODevice& file) { return chart.finishedImage().save(&file, "PNG"); },
            err))
        return kFileError;

    const document::KeySettings settings{request.fabric, request.over, request.strands,
                                         request.margin};
    const document::Key key = document::makeKey(inUse, matches, host.stitches(), settings);
    if (!request.pattern.isEmpty()) {
        const document::Pattern pattern{
            request.title.isEmpty() ? QFileInfo(request.picture).fileName() : request.title,
            host.stitches(),
            inUse,
            key,
            *table,
            settings,
            request.paper,
            request.cell,
            request.symbols,
            request.blackAndWhite,
            request.threads};
        if (!save(
                request.pattern,
                [&](QIODevice& file) { return document::writePatternPdf(file, pattern); }, err))
            return kFileError;
    }
    if (!request.keyCsv.isEmpty()) {
        const QByteArray csv = document::keyCsv(key, *table);
        if (!save(
                request.keyCsv, [&](QIODevice& file) { return file.write(csv) == csv.size(); },
                err))
            return kFileError;
    }

    if (request.key) {
        out << document::keyText(key, namesThreads ? table : nullptr);
        out.flush();
    }
    return kDone;
}

} // namespace

int run(const ChartRequest& request, QTextStream& out, QTextStream& err) {
    try {
        return chart(request, out, err);
    } catch (const std::bad_alloc&) {
        err << "trameda: memoria insufficiente" << Qt::endl;
        return kFileError;
    }
}

void silenceQtMessages() {
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type == QtCriticalMsg || type == QtFatalMsg)
            QTextStream(stderr) << message << Qt::endl;
    });
}

int main(const QStringList& arguments) {
    StandardOutput standardOutput;
    QTextStream out(&standardOutput);
    QTextStream err(stderr);
    const Parsed parsed = parse(arguments);
    int status = kDone;
    switch (parsed.action) {
    case Parsed::Action::Help:
    case Parsed::Action::Version:
        out << parsed.text;
        break;
    case Parsed::Action::Error:
        err << "trameda: " << parsed.text << "\n";
        return kUsageError;
    case Parsed::Action::Chart:
        try {
            status = run(parsed.request, out, err);
        } catch (const std::exception& e) {
            // The thread table built into the program could not be read: a broken build.
            err << "trameda: " << e.what() << Qt::endl;
            return kFileError;
        }
        break;
    }
    // What went to standard output (the key, the help) counts only if it all got there.
    out.flush();
    if (standardOutput.failed() && status == kDone) {
        err << "trameda: impossibile scrivere sullo standard output: " << standardOutput.failure()
            << Qt::endl;
        return kFileError;
    }
    return status;
}

} // namespace trameda::commandline
