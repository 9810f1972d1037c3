#include "oxs.h"

#include "pattern/rules.h"
#include "threads/threadtable.h"

#include <QColor>
#include <QIODevice>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>
#include <array>

namespace trameda::document {

namespace {

constexpr QRgb kWhite = 0xFFFFFFFF;

QString rrggbb(QRgb colour) {
    return QColor(colour).name(QColor::HexRgb).mid(1).toUpper();
}

} // namespace

bool writeOxs(QIODevice& device, const OxsChart& chart) {
    const stitching::StitchedPattern& pattern = chart.pattern;
    const threads::ThreadTable& table = threads::ThreadTable::forBrand(pattern.brand);
    QXmlStreamWriter xml(&device);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(2);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("chart"));

    xml.writeEmptyElement(QStringLiteral("properties"));
    xml.writeAttribute(QStringLiteral("oxsversion"), QStringLiteral("1.0"));
    xml.writeAttribute(QStringLiteral("software"), QStringLiteral("Trameda"));
    xml.writeAttribute(QStringLiteral("chartwidth"), QString::number(pattern.grid.columns()));
    xml.writeAttribute(QStringLiteral("chartheight"), QString::number(pattern.grid.rows()));
    xml.writeAttribute(QStringLiteral("charttitle"), chart.title);
    xml.writeAttribute(QStringLiteral("stitchesperinch"), QString::number(chart.fabric));
    xml.writeAttribute(QStringLiteral("palettecount"), QString::number(pattern.entries.size()));

    xml.writeStartElement(QStringLiteral("palette"));
    xml.writeEmptyElement(QStringLiteral("palette_item"));
    xml.writeAttribute(QStringLiteral("index"), QStringLiteral("0"));
    xml.writeAttribute(QStringLiteral("number"), QStringLiteral("cloth"));
    xml.writeAttribute(QStringLiteral("name"), QStringLiteral("cloth"));
    xml.writeAttribute(QStringLiteral("color"), rrggbb(pattern.background.value_or(kWhite)));
    for (std::size_t e = 0; e < pattern.entries.size(); ++e) {
        const stitching::PatternEntry& entry = pattern.entries[e];
        xml.writeEmptyElement(QStringLiteral("palette_item"));
        xml.writeAttribute(QStringLiteral("index"), QString::number(e + 1));
        if (entry.thread.index >= 0) {
            const threads::Thread& thread = table.at(entry.thread.index);
            xml.writeAttribute(QStringLiteral("number"),
                               threads::brandName(pattern.brand) + u' ' + thread.number);
            xml.writeAttribute(QStringLiteral("name"), thread.name);
        }
        xml.writeAttribute(QStringLiteral("color"), rrggbb(entry.colour));
        xml.writeAttribute(QStringLiteral("strands"), QString::number(chart.strands));
        xml.writeAttribute(QStringLiteral("symbol"), e < chart.symbols.size()
                                                         ? chart.symbols[e]
                                                         : pattern::letterFor(int(e)));
    }
    xml.writeEndElement();

    xml.writeStartElement(QStringLiteral("fullstitches"));
    for (int y = 0; y < pattern.grid.rows(); ++y)
        for (int x = 0; x < pattern.grid.columns(); ++x)
            if (const int e = pattern.grid.at(x, y); e >= 0) {
                xml.writeEmptyElement(QStringLiteral("stitch"));
                xml.writeAttribute(QStringLiteral("x"), QString::number(x));
                xml.writeAttribute(QStringLiteral("y"), QString::number(y));
                xml.writeAttribute(QStringLiteral("palindex"), QString::number(e + 1));
            }
    xml.writeEndElement();
    xml.writeEmptyElement(QStringLiteral("backstitches"));
    xml.writeEndElement();
    xml.writeEndDocument();
    return !xml.hasError();
}

namespace {

// Reads one chart; every refusal names the line the reader stands on.
class Reader {
public:
    Reader(const QByteArray& bytes, stitching::Brand brand) : m_xml(bytes), m_brand(brand) {}

    OxsRead read() {
        OxsRead result;
        try {
            result.chart = chart();
        } catch (const QString& why) {
            result.failure = QStringLiteral("riga %1: %2").arg(m_xml.lineNumber()).arg(why);
        }
        return result;
    }

private:
    struct Item {
        QRgb colour = 0;
        QString number;
    };

    [[noreturn]] static void refuse(const QString& why) { throw why; }

    // The XML reader's own words are English; the user hears what it means.
    [[noreturn]] void refuseXml() const {
        refuse(m_xml.error() == QXmlStreamReader::PrematureEndOfDocumentError
                   ? QStringLiteral("il file finisce a metà")
                   : QStringLiteral("XML non valido, alla colonna %1").arg(m_xml.columnNumber()));
    }

    // A whole number in [min, max]; the format allows "3.0" for 3.
    int whole(const QString& name, int min, int max) {
        const QString text = m_xml.attributes().value(name).toString().trimmed();
        bool ok = false;
        const double value = QString(text).replace(u',', u'.').toDouble(&ok);
        if (!ok || value != double(qint64(value)))
            refuse(QStringLiteral("%1=\"%2\" non è un numero intero").arg(name, text));
        if (value < min || value > max)
            refuse(QStringLiteral("%1=\"%2\" fuori dai limiti, da %3 a %4")
                       .arg(name, text)
                       .arg(min)
                       .arg(max));
        return int(value);
    }

    OxsChart chart() {
        while (!m_xml.atEnd() && !m_xml.isStartElement())
            m_xml.readNext();
        if (m_xml.hasError())
            refuseXml();
        if (m_xml.name() != QLatin1String("chart"))
            refuse(QStringLiteral("non è uno schema OXS: manca <chart>"));
        OxsChart chart;
        chart.pattern.brand = m_brand;
        int width = 100, height = 100; // the format's defaults
        std::vector<Item> items;
        std::vector<std::array<int, 3>> stitches;
        bool sized = false;
        while (m_xml.readNextStartElement()) {
            const auto name = m_xml.name();
            if (name == QLatin1String("properties")) {
                const QXmlStreamAttributes a = m_xml.attributes();
                if (a.hasAttribute(QLatin1String("chartwidth")))
                    width = whole(QStringLiteral("chartwidth"), 1, stitching::kMaxStitches);
                if (a.hasAttribute(QLatin1String("chartheight")))
                    height = whole(QStringLiteral("chartheight"), 1, stitching::kMaxStitches);
                if (a.hasAttribute(QLatin1String("stitchesperinch")))
                    chart.fabric = whole(QStringLiteral("stitchesperinch"), 1, 1000);
                chart.title = a.value(QLatin1String("charttitle")).toString();
                sized = true;
                m_xml.skipCurrentElement();
            } else if (name == QLatin1String("palette")) {
                palette(items);
            } else if (name == QLatin1String("fullstitches")) {
                while (m_xml.readNextStartElement()) {
                    if (m_xml.name() == QLatin1String("stitch")) {
                        if (!sized)
                            refuse(QStringLiteral("punti prima delle dimensioni dello schema"));
                        const int x = whole(QStringLiteral("x"), 0, width - 1);
                        const int y = whole(QStringLiteral("y"), 0, height - 1);
                        const int index = whole(QStringLiteral("palindex"), 0,
                                                std::max(0, int(items.size()) - 1));
                        if (index > 0)
                            stitches.push_back({x, y, index});
                    }
                    m_xml.skipCurrentElement();
                }
            } else {
                m_xml.skipCurrentElement();
            }
        }
        if (m_xml.hasError())
            refuseXml();
        if (m_xml.tokenType() != QXmlStreamReader::EndElement ||
            m_xml.name() != QLatin1String("chart"))
            refuse(QStringLiteral("manca </chart>"));
        m_xml.readNext();
        while (!m_xml.atEnd() && !m_xml.hasError())
            m_xml.readNext();
        if (m_xml.hasError() && m_xml.error() != QXmlStreamReader::PrematureEndOfDocumentError)
            refuseXml();

        stitching::StitchedPattern& pattern = chart.pattern;
        if (!items.empty() && items.front().colour != kWhite)
            pattern.background = items.front().colour;
        entries(items, pattern);
        pattern.grid = stitching::StitchGrid(width, height);
        for (const auto& [x, y, index] : stitches)
            pattern.grid.set(x, y, index - 1);
        stitching::keepUsedEntries(pattern);
        pattern.isolatedBefore = pattern.isolatedAfter = 0;
        return chart;
    }

    void palette(std::vector<Item>& items) {
        if (!items.empty())
            refuse(QStringLiteral("più di una <palette>"));
        while (m_xml.readNextStartElement()) {
            if (m_xml.name() != QLatin1String("palette_item")) {
                m_xml.skipCurrentElement();
                continue;
            }
            const QXmlStreamAttributes a = m_xml.attributes();
            if (a.hasAttribute(QLatin1String("index")) &&
                whole(QStringLiteral("index"), 0, stitching::kMaxThreadColours + 1) !=
                    int(items.size()))
                refuse(QStringLiteral("index=\"%1\" fuori posto: gli elementi vanno in ordine da 0")
                           .arg(a.value(QLatin1String("index"))));
            if (items.size() > std::size_t(stitching::kMaxThreadColours))
                refuse(QStringLiteral("più di %1 fili").arg(stitching::kMaxThreadColours));
            const QString colour = a.value(QLatin1String("color")).toString().trimmed();
            bool ok = colour.size() == 6;
            const uint rgb = colour.toUInt(&ok, 16);
            if (colour.size() != 6 || !ok)
                refuse(QStringLiteral("color=\"%1\" non è un colore RRGGBB").arg(colour));
            items.push_back({0xFF000000u | rgb, a.value(QLatin1String("number")).toString()});
            m_xml.skipCurrentElement();
        }
    }

    // The threads: a number of a brand the program knows names its thread; any other is the
    // nearest by colour in the pattern's brand, which is the brand of the first thread named.
    void entries(const std::vector<Item>& items, stitching::StitchedPattern& pattern) {
        struct Named {
            stitching::Brand brand;
            int row = -1;
        };
        std::vector<std::optional<Named>> named;
        for (std::size_t i = 1; i < items.size(); ++i) {
            named.push_back(std::nullopt);
            QString number = items[i].number.simplified();
            number.remove(QStringLiteral(" [+]"));
            const qsizetype space = number.lastIndexOf(u' ');
            if (space < 0)
                continue;
            const QString brandName = number.left(space).trimmed();
            const QString code = number.mid(space + 1);
            for (const stitching::Brand b :
                 {stitching::Brand::Dmc, stitching::Brand::Anchor, stitching::Brand::Madeira}) {
                if (brandName.compare(threads::brandName(b), Qt::CaseInsensitive) != 0)
                    continue;
                const auto& list = threads::ThreadTable::forBrand(b).threads();
                for (std::size_t row = 0; row < list.size(); ++row)
                    if (list[row].number.compare(code, Qt::CaseInsensitive) == 0)
                        named.back() = Named{b, int(row)};
            }
        }
        for (const auto& n : named)
            if (n) {
                pattern.brand = n->brand;
                break;
            }
        const threads::ThreadTable& table = threads::ThreadTable::forBrand(pattern.brand);
        for (std::size_t i = 1; i < items.size(); ++i) {
            stitching::PatternEntry entry;
            entry.colour = items[i].colour;
            const auto& n = named[i - 1];
            if (n && n->brand == pattern.brand)
                entry.thread = {
                    n->row, threads::ciede2000(threads::toLab(entry.colour), table.at(n->row).lab)};
            else
                entry.thread = table.nearest(std::span<const QRgb>(&entry.colour, 1)).front();
            pattern.entries.push_back(entry);
        }
    }

    QXmlStreamReader m_xml;
    stitching::Brand m_brand;
};

} // namespace

OxsRead readOxs(const QByteArray& bytes, stitching::Brand brand) {
    return Reader(bytes, brand).read();
}

} // namespace trameda::document
