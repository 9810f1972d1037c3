#include "threadtable.h"

#include <QFile>
#include <QList>
#include <stdexcept>

namespace trameda::threads {

namespace {

int component(const QByteArray& text, bool& ok) {
    bool parsed = false;
    const int value = text.trimmed().toInt(&parsed);
    ok = ok && parsed && value >= 0 && value <= 255;
    return value;
}

} // namespace

ThreadTable ThreadTable::fromCsv(const QByteArray& text) {
    ThreadTable table;
    std::vector<QRgb> colours;
    const QList<QByteArray> lines = text.split('\n');
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        if (line.isEmpty())
            continue;
        const QList<QByteArray> fields = line.split(',');
        bool ok = fields.size() == 5 && !fields[0].trimmed().isEmpty();
        if (ok) {
            const int red = component(fields[2], ok);
            const int green = component(fields[3], ok);
            const int blue = component(fields[4], ok);
            colours.push_back(qRgb(red, green, blue));
        }
        if (!ok)
            throw std::runtime_error("thread table, line " + std::to_string(i + 1) + ": " +
                                     line.toStdString());
        table.m_threads.push_back({QString::fromUtf8(fields[0].trimmed()),
                                   QString::fromUtf8(fields[1].trimmed()),
                                   colours.back(),
                                   {}});
    }
    if (table.m_threads.empty())
        throw std::runtime_error("thread table without threads");
    const std::vector<Lab> labs = toLab(colours);
    for (std::size_t i = 0; i < labs.size(); ++i)
        table.m_threads[i].lab = labs[i];
    return table;
}

namespace {

ThreadTable builtIn(const char* name) {
    QFile file(QStringLiteral(":/threads/%1.csv").arg(QLatin1String(name)));
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error(std::string("the thread table ") + name +
                                 ".csv is missing from the program");
    return ThreadTable::fromCsv(file.readAll());
}

} // namespace

const ThreadTable& ThreadTable::dmc() {
    static const ThreadTable table = builtIn("dmc");
    return table;
}

const ThreadTable& ThreadTable::forBrand(Brand brand) {
    switch (brand) {
    case Brand::Anchor: {
        static const ThreadTable table = builtIn("anchor");
        return table;
    }
    case Brand::Madeira: {
        static const ThreadTable table = builtIn("madeira");
        return table;
    }
    case Brand::Dmc:
        break;
    }
    return dmc();
}

QString brandName(Brand brand) {
    switch (brand) {
    case Brand::Anchor:
        return QStringLiteral("Anchor");
    case Brand::Madeira:
        return QStringLiteral("Madeira");
    case Brand::Dmc:
        break;
    }
    return QStringLiteral("DMC");
}

std::vector<ThreadMatch> ThreadTable::nearest(std::span<const QRgb> colours) const {
    std::vector<ThreadMatch> matches;
    matches.reserve(colours.size());
    for (const Lab& lab : toLab(colours)) {
        ThreadMatch best;
        for (std::size_t i = 0; i < m_threads.size(); ++i) {
            const double d = ciede2000(lab, m_threads[i].lab);
            if (best.index < 0 || d < best.difference)
                best = {int(i), d};
        }
        matches.push_back(best);
    }
    return matches;
}

} // namespace trameda::threads
