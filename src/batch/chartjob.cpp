#include "chartjob.h"

#include "files/safewrite.h"
#include "picture/picture.h"
#include "picture/surfaces.h"
#include "pattern/rules.h"
#include "runtime/runtimeerror.h"

namespace trameda::batch {

namespace {

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

} // namespace

ChartSurfaces::ChartSurfaces(QSize size, const Picture& picture) {
    for (ImageSurface* surface : {&source, &chart}) {
        surface->setBackColor(kBlankColour);
        surface->resizeImage(size);
        picture::paintOver(*surface, picture);
    }
}

ChartJob::ChartJob(const ChartSettings& settings, ImageSurface& source, ImageSurface& chart)
    : m_settings(settings), m_source(source), m_chart(chart),
      m_coloursText(QString::number(settings.colours)),
      m_passox(pattern::cellStep(settings.across)), m_passoy(pattern::cellStep(settings.down)),
      m_grid(pattern::cellsOnPicture(m_passox), pattern::cellsOnPicture(m_passoy)) {}

Colour ChartJob::swatchColour(int index) const {
    if (index < 0 || index > 15)
        throw RuntimeError(RuntimeError::SubscriptOutOfRange);
    return m_settings.swatches[std::size_t(index)];
}

Printer& ChartJob::printer() {
    if (!m_printer)
        m_printer = std::make_unique<Printer>(std::make_unique<SavedPdfOutput>(m_settings.pdf));
    return *m_printer;
}

void ChartJob::cellChosen(int x, int y, int scelto) {
    // The stitches are the cells of the picture: those whose corner lies on it.
    if (x < 200 && y < 200)
        m_grid.set(x / m_passox, y / m_passoy, scelto);
}

ChartResult makeChart(const ChartSettings& settings, ChartSurfaces& surfaces) {
    ChartJob job(settings, surfaces.source, surfaces.chart);
    pattern::convert(job);
    return {surfaces.chart.finishedImage(), job.stitches()};
}

} // namespace trameda::batch
