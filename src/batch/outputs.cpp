#include "outputs.h"

#include "document/key.h"
#include "document/oxs.h"
#include "document/patternoutputs.h"
#include "document/patternpdf.h"
#include "files/names.h"
#include "files/safewrite.h"

#include <QBuffer>
#include <QTextStream>

namespace trameda::batch {

std::vector<NamedFile> namedFiles(const ChartRequest& r) {
    return {
        {QStringLiteral("chart"), r.picture, false},  {QStringLiteral("palette"), r.palette, false},
        {QStringLiteral("png"), r.png, true},         {QStringLiteral("pdf"), r.pdf, true},
        {QStringLiteral("pattern"), r.pattern, true}, {QStringLiteral("key-csv"), r.keyCsv, true},
        {QStringLiteral("oxs"), r.oxs, true},
    };
}

std::optional<QString> sharedFile(const ChartRequest& request) {
    const std::vector<NamedFile> files = namedFiles(request);
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

std::optional<QString> unwritableOutput(const ChartRequest& request) {
    for (const NamedFile& file : namedFiles(request))
        if (file.output && !file.path.isEmpty())
            if (const Failure why = outputProblem(file.path))
                return cannotWrite(file.path, *why);
    return std::nullopt;
}

QString cannotWrite(const QString& path, const QString& why) {
    return QStringLiteral("trameda: impossibile scrivere %1: %2").arg(shownName(path), why);
}

bool save(const QString& path, const std::function<bool(QIODevice&)>& write, QTextStream& err) {
    if (const Failure why = writeFileSafely(path, write)) {
        err << cannotWrite(path, *why) << Qt::endl;
        return false;
    }
    return true;
}

// Encoded in memory first: the PNG encoder reports a failed write by printing the library's own
// English line, so the file is given the picture only once it is whole.
bool writePng(const QString& path, const QImage& chart, QTextStream& err) {
    const auto write = [&](QIODevice& file) {
        QByteArray encoded;
        QBuffer buffer(&encoded);
        return buffer.open(QIODevice::WriteOnly) && chart.save(&buffer, "PNG") &&
               file.write(encoded) == encoded.size();
    };
    return save(path, write, err);
}

bool writePattern(const QString& path, const document::Pattern& pattern, QTextStream& err) {
    return save(
        path, [&](QIODevice& file) { return document::writePatternPdf(file, pattern); }, err);
}

bool writeKeyCsv(const QString& path, const document::PatternOutputs& outputs, QTextStream& err) {
    const QByteArray csv = document::shoppingList(outputs);
    return save(path, [&](QIODevice& file) { return file.write(csv) == csv.size(); }, err);
}

bool writeOxs(const QString& path, const document::OxsChart& chart, QTextStream& err) {
    return save(path, [&](QIODevice& file) { return document::writeOxs(file, chart); }, err);
}

} // namespace trameda::batch
