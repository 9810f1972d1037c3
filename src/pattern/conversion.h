#pragma once

#include "runtime/colour.h"
#include "rules.h"

#include <QString>

namespace trameda {

class ImageSurface;
class Printer;

namespace pattern {

// What a conversion needs from whoever shows it: the window, or a run without one. Everything is
// read at the moment of use, since the user may change it while the run yields.
class ChartHost {
public:
    virtual ~ChartHost();

    // Stitches across and down, 1 to 150.
    virtual int stitchesAcross() const = 0;
    virtual int stitchesDown() const = 0;
    // The text whose leading number is the count of palette colours in use.
    virtual QString coloursText() const = 0;
    // The colour of palette swatch `index`, 0 to 15; another index raises SubscriptOutOfRange.
    virtual Colour swatchColour(int index) const = 0;

    // Drawing options: filled squares instead of crosses, a grid box round every cell, the
    // entry's letter in every cell, every step repeated on the printer.
    virtual bool squares() const = 0;
    virtual bool grid() const = 0;
    virtual bool letters() const = 0;
    virtual bool printing() const = 0;

    // The picture that is sampled, the surface the chart is drawn on, and the printer.
    virtual ImageSurface& source() = 0;
    virtual ImageSurface& chart() = 0;
    virtual Printer& printer() = 0;

    // The palette component tables and the cancel request; they outlive the run.
    virtual ColourTables tables() = 0;
    virtual int& annullato() = 0;

    // The cancel button, shown in front while a run goes on.
    virtual void showCancel() = 0;
    virtual void hideCancel() = 0;
    // Told of every cell drawn, with the palette entry it was given.
    virtual void cellChosen(int x, int y, int scelto) {
        (void)x;
        (void)y;
        (void)scelto;
    }

    // Lets pending events run once, after each column. Whatever shows the chart must show the
    // columns drawn so far when this returns.
    virtual void yield() = 0;
};

// The whole conversion, from clearing the chart to hiding the cancel button. A run-time error
// ends it where it occurs: the chart drawn so far stays, while an open print document is
// withdrawn and the cancel button hidden before the error goes on to the caller.
void convert(ChartHost& host);

// Draws the cell (x, y)-(x + passox, y + passoy) of palette entry `scelto` on the chart and, when
// printing, on the printer.
void drawCell(ChartHost& host, int x, int y, int passox, int passoy, int scelto);

// Readies the printer's page for a chart of `across` by `down` stitches.
void setUpPage(Printer& printer, int across, int down);

} // namespace pattern
} // namespace trameda
