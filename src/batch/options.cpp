#include "options.h"

#include "files/names.h"
#include "outputs.h"
#include "stitching/optionstext.h"

#include <QCommandLineParser>
#include <algorithm>
#include <vector>

namespace trameda::batch {

namespace {

using Apply = std::function<std::optional<QString>(const QString&, ChartRequest&)>;

Apply set(QString ChartRequest::*field) {
    return [field](const QString& value, ChartRequest& r) -> std::optional<QString> {
        r.*field = value;
        return std::nullopt;
    };
}

Apply set(bool ChartRequest::*field, bool to = true) {
    return [field, to](const QString&, ChartRequest& r) -> std::optional<QString> {
        r.*field = to;
        return std::nullopt;
    };
}

Apply ranged(int ChartRequest::*field, document::Range range) {
    return [field, range](const QString& value, ChartRequest& r) {
        return document::parseNumber(value, range, r.*field);
    };
}

Apply ranged(int document::PatternOptions::*field, document::Range range) {
    return [field, range](const QString& value, ChartRequest& r) {
        return document::parseNumber(value, range, r.options.*field);
    };
}

std::optional<QString> parseSize(const QString& value, ChartRequest& r) {
    const QStringList parts = value.split(u'x', Qt::KeepEmptyParts, Qt::CaseInsensitive);
    int w = 0;
    int h = 0;
    const document::Range side{1, kMaxSurfaceSide};
    if (parts.size() != 2 || document::parseNumber(parts[0], side, w) ||
        document::parseNumber(parts[1], side, h))
        return QStringLiteral("vuole LARGHEZZAxALTEZZA in pixel, da 1 a %1, non \"%2\"")
            .arg(kMaxSurfaceSide)
            .arg(value);
    r.size = QSize(w, h);
    return std::nullopt;
}

const QStringList kPattern{QStringLiteral("pattern")};
const QStringList kPatternOrCsv{QStringLiteral("pattern"), QStringLiteral("key-csv")};
const QStringList kStitched{QStringLiteral("pattern"), QStringLiteral("key-csv"),
                            QStringLiteral("oxs")};

// A stitching option, read where the window reads it too.
Apply stitching(std::optional<QString> (*read)(const QString&, stitching::StitchOptions&)) {
    return [read](const QString& value, ChartRequest& r) { return read(value, r.options.stitch); };
}

QString s(const char16_t* text) {
    return QString::fromUtf16(text);
}

constexpr Option::Value kFile = Option::Value::File;

const std::vector<Option>& table() {
    static const std::vector<Option> rows{
        {s(u"chart"),
         s(u"IMMAGINE"),
         s(u"l'immagine da convertire"),
         {},
         set(&ChartRequest::picture),
         kFile},
        {s(u"png"),
         s(u"FILE"),
         s(u"lo schema come lo mostra la finestra, in PNG"),
         {},
         set(&ChartRequest::png),
         kFile},
        {s(u"pdf"),
         s(u"FILE"),
         s(u"la pagina stampata, in PDF (A4)"),
         {},
         set(&ChartRequest::pdf),
         kFile},
        {s(u"key"),
         {},
         s(u"la legenda dei colori: lettera, colore, numero di punti\n"
           u"(e il filo DMC, con --threads o --pattern)"),
         {},
         set(&ChartRequest::key)},
        {s(u"pattern"),
         s(u"FILE"),
         s(u"lo schema da ricamare, in PDF su più pagine: copertina,\n"
           u"pagine con i simboli e i numeri dei punti, legenda con\n"
           u"fili DMC, metri e matasse"),
         {},
         set(&ChartRequest::pattern),
         kFile},
        {s(u"key-csv"),
         s(u"FILE"),
         s(u"la legenda in CSV, come lista della spesa: lettera, colore,\n"
           u"filo, nome, differenza, punti, matasse"),
         {}, set(&ChartRequest::keyCsv), kFile},
        {s(u"oxs"), s(u"FILE"),
         s(u"lo schema da ricamare nel formato OXS, per altri programmi;\n"
           u"--chart SCHEMA.oxs lo rilegge"),
         {}, set(&ChartRequest::oxs), kFile},
        {s(u"threads"), s(u"MARCA"),
         s(u"dmc, anchor o madeira: ogni colore in uso diventa quello\n"
           u"del filo più vicino di quella marca"),
         {},
         [](const QString& value, ChartRequest& r) {
             return document::parseThreads(value, r.options.stitch);
         }},
        {s(u"stitches"), s(u"N|LxA"),
         s(u"punti in larghezza\n(l'altezza segue l'immagine) o LxA esatti, da 1 a 500"),
         kStitched, stitching(stitching::parseStitches)},
        {s(u"thread-colors"), s(u"N"),
         s(u"N fili, da 2 a 60,\nscelti per l'immagine invece della tavolozza"),
         kStitched, stitching(stitching::parseThreadColours)},
        {s(u"clean"), s(u"0|1|2"),
         s(u"toglie i punti isolati\n(1, il valore normale), anche le macchie di 1-2 punti\n"
           u"e i fili rari (2)"),
         kStitched, stitching(stitching::parseClean)},
        {s(u"background"), s(u"B"),
         s(u"none, auto o RRGGBB:\nil colore lasciato alla tela (none)"),
         kStitched, stitching(stitching::parseBackground)},
        {s(u"also"), s(u"MARCA"), s(u"anche il filo più vicino\nper colore di un'altra marca"),
         kPatternOrCsv,
         [](const QString& value, ChartRequest& r) {
             stitching::Brand brand{};
             auto why = stitching::parseBrand(value, brand);
             r.options.stitch.also = brand;
             return why;
         }},
        {s(u"fabric"), s(u"N"),
         s(u"punti per pollice dell'Aida,\no fili del lino con --over 2, da 6 a 40 (14)"),
         kPatternOrCsv,
         [](const QString& value, ChartRequest& r) {
             r.fabricGiven = true;
             return document::parseNumber(value, document::kFabricRange, r.options.fabric);
         }},
        {s(u"over"), s(u"1|2"), s(u"2: su due fili di lino\no etamine (1: Aida)"), kPatternOrCsv,
         ranged(&document::PatternOptions::over, document::kOverRange)},
        {s(u"strands"), s(u"N"), s(u"capi nell'ago, da 1 a 6 (2)"), kPatternOrCsv,
         ranged(&document::PatternOptions::strands, document::kStrandsRange)},
        {s(u"margin"), s(u"P"), s(u"filo in più per gli errori,\nin percentuale, da 0 a 100 (20)"),
         kPatternOrCsv, ranged(&document::PatternOptions::margin, document::kMarginRange)},
        {s(u"paper"), s(u"A4|letter"), s(u"il foglio (A4)"), kPattern,
         [](const QString& value, ChartRequest& r) {
             return document::parsePaper(value, r.options.paper);
         }},
        {s(u"title"), s(u"TESTO"), s(u"il titolo (il nome dell'immagine)"), kPattern,
         [](const QString& value, ChartRequest& r) -> std::optional<QString> {
             r.options.title = value;
             return std::nullopt;
         }},
        {s(u"cell"), s(u"MM"), s(u"il lato di una cella in mm,\nda 2,5 a 8 (circa 3,5)"), kPattern,
         [](const QString& value, ChartRequest& r) {
             return document::parseCell(value, r.options.cell);
         }},
        {s(u"symbols"), s(u"letters"),
         s(u"le lettere A-P della finestra\ninvece dei simboli (fino a 16 colori)"), kPattern,
         [](const QString& value, ChartRequest& r) {
             return document::parseSymbols(value, r.options.symbols);
         }},
        {s(u"bw"),
         {},
         s(u"solo simboli, neri su bianco,\nper stampanti senza colore"),
         kPattern,
         [](const QString&, ChartRequest& r) -> std::optional<QString> {
             r.options.blackAndWhite = true;
             return std::nullopt;
         }},
        {s(u"across"),
         s(u"N"),
         s(u"punti in larghezza, da 1 a 150 (45)"),
         {},
         ranged(&ChartRequest::across, {1, 150})},
        {s(u"down"),
         s(u"N"),
         s(u"punti in altezza, da 1 a 150 (50)"),
         {},
         ranged(&ChartRequest::down, {1, 150})},
        {s(u"size"),
         s(u"LxA"),
         s(u"la superficie dello schema in pixel (400 di larghezza,\naltezza per punti quadrati)"),
         {},
         parseSize},
        {s(u"colors"),
         s(u"N"),
         s(u"colori della tavolozza in uso, da 1 a 16 (8)"),
         {},
         [](const QString& value, ChartRequest& r) {
             r.coloursGiven = true;
             return document::parseNumber(value, {1, 16}, r.colours);
         }},
        {s(u"palette"),
         s(u"FILE.col"),
         s(u"i 16 colori da un file di colori"),
         {},
         set(&ChartRequest::palette),
         kFile},
        {s(u"auto"),
         {},
         s(u"tavolozza automatica dall'immagine (come AUTOColori)"),
         {},
         set(&ChartRequest::autoPalette)},
        {s(u"many"), {}, s(u"con --auto: molti colori"), {}, set(&ChartRequest::many)},
        {s(u"pastel"), {}, s(u"con --auto: colori pastello"), {}, set(&ChartRequest::pastel)},
        {s(u"squares"),
         {},
         s(u"quadratini colorati invece delle crocette"),
         {},
         set(&ChartRequest::squares)},
        {s(u"no-grid"), {}, s(u"senza griglia"), {}, set(&ChartRequest::grid, false)},
        {s(u"no-letters"),
         {},
         s(u"senza le lettere dei colori"),
         {},
         set(&ChartRequest::letters, false)},
        {s(u"help"), {}, s(u"questo aiuto"), {}, {}},
        {s(u"version"), {}, s(u"la versione"), {}, {}},
    };
    return rows;
}

// "--pattern o --key-csv"
QString optionList(const QStringList& names, const QString& last) {
    QStringList dashed;
    for (const QString& name : names)
        dashed << QStringLiteral("--") + name;
    if (dashed.size() < 2)
        return dashed.join(QString());
    return dashed.mid(0, dashed.size() - 1).join(QStringLiteral(", ")) + last + dashed.last();
}

Parsed failure(const QString& message) {
    Parsed p;
    p.action = Parsed::Action::Error;
    // One line, whatever the user typed into a value.
    p.text = shownName(message);
    return p;
}

} // namespace

std::span<const Option> options() {
    return table();
}

QString helpText() {
    QString options;
    for (const Option& o : table()) {
        QString lead = QStringLiteral("  --") + o.name;
        if (!o.valueName.isEmpty())
            lead += u' ' + o.valueName;
        // The help of an option that shapes only some outputs opens by naming them.
        QString help = o.help;
        if (!o.needs.isEmpty())
            help =
                QStringLiteral("con %1: ").arg(optionList(o.needs, QStringLiteral(" o "))) + help;
        const QStringList lines = help.split(u'\n');
        options += lead.leftJustified(21) + u' ' + lines.first() + u'\n';
        for (qsizetype i = 1; i < lines.size(); ++i)
            options += QString(22, u' ') + lines[i] + u'\n';
    }
    return QStringLiteral(
               "Uso: trameda --chart IMMAGINE [--png SCHEMA.png] [--pdf PAGINA.pdf]\n"
               "             [--pattern SCHEMA.pdf] [--key-csv LEGENDA.csv] [opzioni]\n"
               "     trameda [--] [IMMAGINE]\n"
               "Senza argomenti apre la finestra; con un'immagine (jpg, gif, bmp) come solo "
               "argomento\n"
               "(dopo --, anche un nome che comincia con -) apre la finestra su quell'immagine. "
               "Le\n"
               "opzioni di Qt (-style, -platform, -geometry, -reverse ...) valgono per la "
               "finestra.\n"
               "Nella finestra, con un'immagine caricata, Ctrl+E o il tasto destro del mouse su "
               "una\n"
               "parte vuota aprono lo schema da ricamo: PDF, lista dei fili e OXS senza "
               "terminale.\n"
               "\n"
               "Fa lo schema a punto croce di un'immagine (jpg, gif, bmp) senza aprire la "
               "finestra.\n"
               "\n") +
           options +
           QStringLiteral(
               "\n"
               "Per esempio:\n"
               "  trameda --chart foto.jpg --palette colori.col --across 120 --down 90 \\\n"
               "          --pattern schema.pdf --fabric 14\n"
               "\n"
               "Lo schema, la legenda e i conteggi hanno le celle che la conversione pone\n"
               "sull'immagine: 200 diviso i punti, troncato, è il passo, e 45 punti (passo 4)\n"
               "danno 50 celle.\n"
               "\n"
               "Un file scritto prende il posto di quello che c'era solo quando è completo; se "
               "la\n"
               "scrittura non riesce, il file che c'era resta com'era. Si scrivono solo file "
               "normali\n"
               "(non cartelle, dispositivi o FIFO), mai sopra l'immagine, i colori o l'altro "
               "risultato.\n"
               "\n"
               "Uscita: 0 fatto, 1 un file non si legge o non si scrive, 2 riga di comando "
               "errata.\n");
}

Parsed parse(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const Option& o : table())
        parser.addOption(o.valueName.isEmpty() ? QCommandLineOption(o.name)
                                               : QCommandLineOption(o.name, {}, o.valueName));

    if (!parser.parse(arguments)) {
        if (!parser.unknownOptionNames().isEmpty())
            return failure(
                QStringLiteral("opzione sconosciuta: %1").arg(parser.unknownOptionNames().first()));
        return failure(QStringLiteral("riga di comando errata: %1").arg(parser.errorText()));
    }
    if (parser.isSet(QStringLiteral("help")))
        return {Parsed::Action::Help, {}, helpText()};
    if (parser.isSet(QStringLiteral("version")))
        return {Parsed::Action::Version,
                {},
                QStringLiteral("trameda %1\n").arg(QStringLiteral(TRAMEDA_VERSION))};
    if (!parser.positionalArguments().isEmpty())
        return failure(
            QStringLiteral("argomento inatteso: %1").arg(parser.positionalArguments().first()));

    // An option given twice is a mistake the user should hear about, not a silent choice.
    const QStringList given = parser.optionNames();
    for (const QString& name : given)
        if (given.count(name) > 1)
            return failure(QStringLiteral("--%1 data più volte").arg(name));

    for (const Option& o : table())
        if (o.value == kFile && parser.isSet(o.name) && parser.value(o.name).isEmpty())
            return failure(
                QStringLiteral("--%1 vuole il nome di un file, non un nome vuoto").arg(o.name));

    if (!parser.isSet(QStringLiteral("chart")))
        return failure(QStringLiteral("manca --chart IMMAGINE (--help per l'aiuto)"));
    const QStringList outputs{QStringLiteral("png"),     QStringLiteral("pdf"),
                              QStringLiteral("pattern"), QStringLiteral("key"),
                              QStringLiteral("key-csv"), QStringLiteral("oxs")};
    if (std::none_of(outputs.begin(), outputs.end(),
                     [&](const QString& name) { return parser.isSet(name); }))
        return failure(QStringLiteral(
            "nessun risultato chiesto: --png, --pdf, --pattern, --key, --key-csv o --oxs"));

    Parsed result;
    for (const Option& o : table()) {
        if (!parser.isSet(o.name))
            continue;
        // The pattern's own settings mean nothing without the outputs they shape.
        if (!o.needs.isEmpty() &&
            std::none_of(o.needs.begin(), o.needs.end(),
                         [&](const QString& name) { return parser.isSet(name); }))
            return failure(QStringLiteral("--%1 vale solo con %2")
                               .arg(o.name, optionList(o.needs, QStringLiteral(" o "))));
        if (auto why = o.apply(parser.value(o.name), result.request))
            return failure(QStringLiteral("--%1 %2").arg(o.name, *why));
    }

    ChartRequest& r = result.request;
    // A chart read from OXS is a finished pattern: it has no picture to chart or to stitch anew.
    r.chartIsOxs = r.picture.endsWith(QStringLiteral(".oxs"), Qt::CaseInsensitive);
    if (r.chartIsOxs) {
        for (const char16_t* name : {u"png", u"pdf", u"key"})
            if (parser.isSet(QString::fromUtf16(name)))
                return failure(QStringLiteral("--%1 vuole un'immagine, non uno schema OXS")
                                   .arg(QString::fromUtf16(name)));
        for (const char16_t* name : {u"stitches", u"thread-colors", u"clean", u"background",
                                     u"palette", u"auto", u"colors", u"threads"})
            if (parser.isSet(QString::fromUtf16(name)))
                return failure(
                    QStringLiteral("--%1 vale solo con un'immagine, non con uno schema OXS")
                        .arg(QString::fromUtf16(name)));
    }
    if (r.autoPalette && !r.palette.isEmpty())
        return failure(QStringLiteral("--palette e --auto non vanno insieme"));
    if ((r.many || r.pastel) && !r.autoPalette)
        return failure(QStringLiteral("--many e --pastel valgono solo con --auto"));
    if (auto e = sharedFile(r))
        return failure(*e);
    result.action = Parsed::Action::Chart;
    return result;
}

} // namespace trameda::batch
