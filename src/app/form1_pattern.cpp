// The window's chart conversion (converting, cancelling, printing) and the way to the pattern
// dialog.
#include "form1.h"
#include "pattern/conversion.h"
#include "runtime/numbers.h"
#include "runtime/runtimeerror.h"
#include "runtime/systemprinter.h"

#include <QContextMenuEvent>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QScopeGuard>
#include <QShortcut>
#include <algorithm>

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

constexpr QKeyCombination kPatternKey = Qt::CTRL | Qt::Key_E;

} // namespace

void Form1::preparePattern() {
    connect(Command2, &QPushButton::clicked, this, [this] { run([this] { Command2_Click(); }); });
    connect(Command6, &QPushButton::clicked, this, [this] { run([this] { Command6_Click(); }); });
    // A change of the box by code counts as a click, as a click does.
    connect(Check1, &QCheckBox::stateChanged, this, [this] { run([this] { Check1_Click(); }); });

    // The pattern is reached from the whole window; a text box keeps the key for its own
    // editing where the desktop binds it there.
    connect(new QShortcut(kPatternKey, this), &QShortcut::activated, this,
            [this] { run([this] { schema(); }); });
    Command2->setToolTip(
        QStringLiteral("Schema da ricamo (PDF su più pagine, lista dei fili, file OXS):\n"
                       "Ctrl+E, oppure il tasto destro del mouse su una parte vuota della "
                       "finestra"));
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

// ---------------------------------------------------------------------------------------------
// The pattern dialog

PatternStart Form1::patternStart() const {
    PatternStart start;
    start.picture = m_pictureFile;
    // The swatches the conversion reads: Text1's whole number, kept within 1 to 16 as leaving
    // the box keeps it (the dialog may open while the box still holds what was typed).
    const int inUse = int(std::clamp(Val(Text1->text()), 1.0, double(Label1.size())));
    for (int i = 0; i < inUse; ++i)
        start.swatches.push_back(toQRgb(Label1[std::size_t(i)]->BackColor()));
    start.across = HScroll1[2]->value();
    start.down = HScroll1[3]->value();
    return start;
}

void Form1::schema() {
    const PatternStart start = patternStart();
    if (start.picture.isEmpty()) {
        Beep();
        return;
    }
    showPatternDialog(this, dialogs(), start);
}

void Form1::contextMenuEvent(QContextMenuEvent* event) {
    // A right click that a control leaves unanswered (a swatch, a surface, the colour chart, a
    // label) comes here too: the menu belongs to the bare background alone.
    if (childAt(event->pos())) {
        event->ignore();
        return;
    }
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    QAction* entry = menu->addAction(QStringLiteral("Schema da ricamo\u2026"), this,
                                     [this] { run([this] { schema(); }); });
    entry->setShortcut(kPatternKey);
    entry->setShortcutVisibleInContextMenu(true);
    entry->setEnabled(!m_pictureFile.isEmpty());
    menu->popup(event->globalPos());
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
