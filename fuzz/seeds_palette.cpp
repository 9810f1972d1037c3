// Writes palette files of the shapes users make, as starting points for fuzz_palette.
#include "palette/colfile.h"
#include "runtime/colour.h"

#include <QDir>
#include <QFile>
#include <cstdio>

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: seeds_fuzz_palette FOLDER\n");
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!dir.mkpath(QStringLiteral(".")))
        return 1;
    trameda::palette::Colours colours{};
    for (int i = 0; i < 16; ++i)
        colours[std::size_t(i)] = trameda::QBColor(i);
    const QList<QByteArray> seeds = {
        trameda::palette::writeColFile(colours),
        QByteArray("255,65280,16711680,0,1,2,3,4,5,6,7,8,9,10,11,12\n"),
        QByteArray(" 2.5 \r\n-1\r\n1e3\n\n abc,  16777215 \r\n"),
    };
    for (int i = 0; i < seeds.size(); ++i) {
        QFile file(dir.filePath(QStringLiteral("seme%1.col").arg(i)));
        if (!file.open(QIODevice::WriteOnly) || file.write(seeds[i]) != seeds[i].size())
            return 1;
    }
    return 0;
}
