#pragma once

// The conversion as the window runs it, without the window: on surfaces and settings of its own,
// returning the chart image and its stitch grid. The command line and the tests use it.

#include "pattern/conversion.h"
#include "picture/sizes.h"
#include "runtime/printer.h"
#include "runtime/surface.h"
#include "stitching/stitchgrid.h"

#include <QImage>
#include <QSize>
#include <QString>
#include <array>
#include <memory>

namespace trameda {
class Picture;
}

namespace trameda::batch {

struct ChartSettings {
    int across = picture::kStart.across;
    int down = picture::kStart.down;
    std::array<Colour, 16> swatches{};
    int colours = 8;
    bool squares = false;
    bool grid = true;
    bool letters = true;
    // Where the printed page goes, as a PDF written all or nothing; empty: not printed.
    QString pdf;
};

// The two surfaces of a chart, the picture painted over both at `size`.
struct ChartSurfaces {
    ChartSurfaces(QSize size, const Picture& picture);
    ImageSurface source;
    ImageSurface chart;
};

struct ChartResult {
    QImage image;
    stitching::StitchGrid stitches;
};

// A chart host of its own: no window, no cancel, printing to a file.
class ChartJob : public pattern::ChartHost {
public:
    ChartJob(const ChartSettings& settings, ImageSurface& source, ImageSurface& chart);

    int stitchesAcross() const override { return m_settings.across; }
    int stitchesDown() const override { return m_settings.down; }
    QString coloursText() const override { return m_coloursText; }
    Colour swatchColour(int index) const override;
    bool squares() const override { return m_settings.squares; }
    bool grid() const override { return m_settings.grid; }
    bool letters() const override { return m_settings.letters; }
    bool printing() const override { return !m_settings.pdf.isEmpty(); }
    ImageSurface& source() override { return m_source; }
    ImageSurface& chart() override { return m_chart; }
    Printer& printer() override;
    pattern::ColourTables tables() override { return {m_rosso, m_verde, m_blu}; }
    int& annullato() override { return m_annullato; }
    void showCancel() override {}
    void hideCancel() override {}
    void yield() override {}
    void cellChosen(int x, int y, int scelto) override;

    const stitching::StitchGrid& stitches() const { return m_grid; }

private:
    ChartSettings m_settings;
    ImageSurface& m_source;
    ImageSurface& m_chart;
    QString m_coloursText;
    std::unique_ptr<Printer> m_printer;
    pattern::Table m_rosso{}, m_verde{}, m_blu{};
    int m_annullato = 0;
    int m_passox;
    int m_passoy;
    stitching::StitchGrid m_grid;
};

// Runs the conversion on `surfaces`; throws RuntimeError as the conversion does (a page that
// could not be written: PrinterError with the file and the cause).
ChartResult makeChart(const ChartSettings& settings, ChartSurfaces& surfaces);

} // namespace trameda::batch
