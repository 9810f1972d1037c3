#include "stitchnotes.h"

#include "key.h"
#include "stitching/pattern.h"

#include <QLocale>
#include <cmath>

namespace trameda::document {

QStringList stitchingNotes(const stitching::StitchedPattern& pattern, int clean) {
    const QLocale italian(QLocale::Italian, QLocale::Italy);
    QStringList notes;
    const QRectF& crop = pattern.crop;
    const auto percent = [&](double share) {
        return italian.toString(std::round((1 - share) * 1000) / 10, 'g', 3) + QStringLiteral(" %");
    };
    if (crop.width() < 1 - 1e-9)
        notes << QStringLiteral("Immagine tagliata per le proporzioni dei punti: il %1 della "
                                "larghezza, metà a sinistra e metà a destra.")
                     .arg(percent(crop.width()));
    else if (crop.height() < 1 - 1e-9)
        notes << QStringLiteral("Immagine tagliata per le proporzioni dei punti: il %1 "
                                "dell'altezza, metà sopra e metà sotto.")
                     .arg(percent(crop.height()));
    const QString before = italian.toString(pattern.isolatedBefore);
    const QString after = italian.toString(pattern.isolatedAfter);
    notes << (clean > 0 ? QStringLiteral("Punti isolati (senza un vicino dello stesso filo): %1 "
                                         "prima della pulizia, %2 dopo (livello %3).")
                              .arg(before, after)
                              .arg(clean)
                        : QStringLiteral("Punti isolati (senza un vicino dello stesso filo): %1, "
                                         "senza pulizia.")
                              .arg(after));
    if (pattern.background)
        notes << QStringLiteral("Sfondo non ricamato: le celle del colore %1 restano vuote, è la "
                                "tela a farlo vedere.")
                     .arg(hexColour(fromQRgb(*pattern.background)));
    return notes;
}

} // namespace trameda::document
