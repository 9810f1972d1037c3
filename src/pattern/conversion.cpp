#include "conversion.h"

#include "runtime/numbers.h"
#include "runtime/printer.h"
#include "runtime/surface.h"

namespace trameda::pattern {

ChartHost::~ChartHost() = default;

void setUpPage(Printer& printer, int across, int down) {
    printer.beginDocument();
    printer.setScaleWidth(201);
    printer.setScaleHeight(351);
    const PageScale scale = printerPageScale(across, down);
    if (scale.height != 351)
        printer.setScaleHeight(scale.height);
    if (scale.width != 201)
        printer.setScaleWidth(scale.width);
}

namespace {

void drawStitch(DrawingSurface& surface, int width, double x, double y, int passox, int passoy,
                Colour colour, bool squares) {
    if (squares) {
        surface.Line(x, y, x + passox, y + passoy, colour, LineForm::BoxFilled);
        return;
    }
    surface.setDrawWidth(width);
    surface.Line(x, y, x + passox, y + passoy, colour);
    surface.Line(x + passox, y, x, y + passoy, colour);
    surface.setDrawWidth(1);
}

void drawLetter(DrawingSurface& surface, double x, double y, Colour contrasto, int scelto) {
    surface.setCurrentX(x + 0.5);
    surface.setCurrentY(y + 0.5);
    surface.setForeColor(contrasto);
    surface.Print(letterFor(scelto));
}

void runColumns(ChartHost& host) {
    ImageSurface& chart = host.chart();
    ImageSurface& source = host.source();

    chart.setBackColor(QBColor(15));
    chart.Cls();
    host.showCancel();
    host.annullato() = 0;
    chart.setScaleHeight(200);
    chart.setScaleWidth(200);
    source.setScaleHeight(200);
    source.setScaleWidth(200);
    if (host.printing())
        setUpPage(host.printer(), host.stitchesAcross(), host.stitchesDown());

    const int passox = cellStep(host.stitchesAcross());
    const int passoy = cellStep(host.stitchesDown());
    const int side = lato(passox, passoy);
    chart.setFontSize(float(side) / 2);
    if (host.printing())
        host.printer().setFontSize(float(1.5 * side));

    const ColourTables tables = host.tables();
    fillTables(tables, Val(host.coloursText()), [&host](int i) { return host.swatchColour(i); });

    for (int x = 0; x <= 200; x += passox) {
        for (int y = 0; y <= 200; y += passoy) {
            const Components sample = splitColour(source.Point(x, y));
            // The palette size is read again for every cell: a change made while the run
            // yields counts from the next column on.
            const int scelto = nearestEntry(sample, Val(host.coloursText()), tables);
            if (scelto > -1) {
                drawCell(host, x, y, passox, passoy, scelto);
                host.cellChosen(x, y, scelto);
            }
        }
        host.yield();
        if (host.annullato())
            break;
    }

    if (host.printing())
        host.printer().EndDoc();
    host.hideCancel();
}

} // namespace

void drawCell(ChartHost& host, int x, int y, int passox, int passoy, int scelto) {
    ImageSurface& chart = host.chart();
    const bool squares = host.squares();
    drawStitch(chart, screenStrokeWidth(passox), x, y, passox, passoy, host.swatchColour(scelto),
               squares);
    if (host.printing())
        drawStitch(host.printer(), printerStrokeWidth(passox), x, y, passox, passoy,
                   host.swatchColour(scelto), host.squares());

    const Colour contrasto = contrastColour(host.tables(), scelto);
    if (host.grid()) {
        chart.Line(x, y, x + passox, y + passoy, contrasto, LineForm::Box);
        if (host.printing())
            host.printer().Line(x, y, x + passox, y + passoy, contrasto, LineForm::Box);
    }
    if (host.letters()) {
        drawLetter(chart, x, y, contrasto, scelto);
        if (host.printing())
            drawLetter(host.printer(), x, y, contrasto, scelto);
    }
}

void convert(ChartHost& host) {
    try {
        runColumns(host);
    } catch (...) {
        // However the run ends, it ends whole: no page left half printed for the next run to add
        // to, and no cancel button left up over a window that is no longer busy.
        host.printer().abortDocument();
        host.hideCancel();
        throw;
    }
}

} // namespace trameda::pattern
