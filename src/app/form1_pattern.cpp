// The window's chart conversion: converting, cancelling, printing.
#include "form1.h"
#include "pattern/conversion.h"
#include "runtime/runtimeerror.h"
#include "runtime/systemprinter.h"

#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>

namespace trameda {

namespace {

// The conversion's view of the window: the bars, the palette, the options and the two surfaces,
// each read when the run asks.
class WindowChart : public pattern::ChartHost {
public:
    explicit WindowChart(Form1& form) : f(form) {}

    int stitchesAcross() const override { return f.HScroll1[2]->value(); }
    int stitchesDown() const override { return f.HScroll1[3]->value(); }
    QString coloursText() const override { return f.Text1->text(); }
    Colour swatchColour(int index) const override {
        if (index < 0 || index >= int(f.Label1.size()))
            throw RuntimeError(RuntimeError::SubscriptOutOfRange);
        return f.Label1[std::size_t(index)]->BackColor();
    }

    bool squares() const override { return f.Option1->isChecked(); }
    bool grid() const override { return f.Check3->checkState() != Qt::Unchecked; }
    bool letters() const override { return f.Check1->checkState() == Qt::Checked; }
    bool printing() const override { return f.Check2->checkState() == Qt::Checked; }

    ImageSurface& source() override { return *f.Picture1[1]; }
    ImageSurface& chart() override { return *f.Picture1[0]; }
    Printer& printer() override { return f.printer(); }

    pattern::ColourTables tables() override { return {f.rosso, f.verde, f.blu}; }
    int& annullato() override { return f.annullato; }

    void showCancel() override {
        f.Command6->setVisible(true);
        f.Command6->raise();
    }
    void hideCancel() override { f.Command6->setVisible(false); }
    // The chart surface asks for a repaint at every drawing, so the pending events include
    // showing the columns drawn so far.
    void yield() override { DoEvents(); }

private:
    Form1& f;
};

} // namespace

void Form1::preparePattern() {
    connect(Command2, &QPushButton::clicked, this, [this] { run([this] { Command2_Click(); }); });
    connect(Command6, &QPushButton::clicked, this, [this] { run([this] { Command6_Click(); }); });
    // A change of the box by code counts as a click, as a click does.
    connect(Check1, &QCheckBox::stateChanged, this, [this] { run([this] { Check1_Click(); }); });
}

void Form1::Command2_Click() {
    if (incorso == 1)
        return; // a click while the run yields would start a second run inside it
    {
        incorso = 1;
        const auto over = qScopeGuard([this] { incorso = 0; });
        WindowChart host(*this);
        pattern::convert(host);
    }
    // Told once the run is over, never while it draws: where the page went without a printer.
    const QString file = m_printer ? m_printer->takeSentFile() : QString();
    if (!file.isEmpty())
        dialogs().showInformation(
            this, QStringLiteral("Non c'è una stampante: la pagina è stata salvata nel file\n%1")
                      .arg(QDir::toNativeSeparators(QFileInfo(file).absoluteFilePath())));
}

void Form1::Command6_Click() {
    annullato = 1;
}

void Form1::Check1_Click() {
    if (Check1->checkState() == Qt::Checked)
        Option1->setChecked(true);
}

Printer& Form1::printer() {
    if (!m_printer)
        m_printer = std::make_unique<Printer>(std::make_unique<SystemPrintOutput>());
    return *m_printer;
}

void Form1::setPrintOutput(std::unique_ptr<PrintOutput> output) {
    m_printer = std::make_unique<Printer>(std::move(output));
}

} // namespace trameda
