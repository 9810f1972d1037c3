#include "outputs.h"

#include "document/patternoutputs.h"

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
    return QStringLiteral("trameda: ") + document::cannotWrite(path, why);
}

bool reported(const Failure& failure, QTextStream& err) {
    if (!failure)
        return false;
    err << "trameda: " << *failure << Qt::endl;
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
    return !reported(document::saveFile(path, write), err);
}

} // namespace trameda::batch
