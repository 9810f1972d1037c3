#include "patterndialog.h"

#include "files/names.h"
#include "files/safewrite.h"
#include "runtime/dialogs.h"
#include "threads/threadtable.h"

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>
#include <new>
#include <utility>

namespace trameda {

namespace {

// The dialog's size, kept on the window for the rest of the run: the program saves no settings.
const char* const kSizeProperty = "trameda.patternDialogSize";

// The room the preview first fits the whole pattern into.
constexpr int kPreviewRoom = 560;
// The cell spin box's lowest value stands for a cell chosen for the fewest pages.
constexpr double kAutomaticCell = 2.4;

const stitching::Brand kBrands[] = {stitching::Brand::Dmc, stitching::Brand::Anchor,
                                    stitching::Brand::Madeira};

QComboBox* brandBox(QWidget* parent, const QString& none) {
    auto* box = new QComboBox(parent);
    if (!none.isEmpty())
        box->addItem(none);
    for (const stitching::Brand brand : kBrands)
        box->addItem(threads::brandName(brand));
    return box;
}

QString firstUpper(QString text) {
    if (!text.isEmpty())
        text[0] = text[0].toUpper();
    return text;
}

QString decimal(double value) {
    return QLocale(QLocale::Italian, QLocale::Italy).toString(value, 'f', 1);
}

QString cmAndInches(const document::Centimetres& size) {
    return QStringLiteral("%1 × %2 cm (%3 × %4 pollici)")
        .arg(decimal(size.width), decimal(size.height), decimal(size.width / 2.54),
             decimal(size.height / 2.54));
}

} // namespace

PatternDialog::PatternDialog(QWidget* window, Dialogs& dialogs, const PatternStart& start)
    : QDialog(window), m_dialogs(dialogs), m_start(start),
      m_runner(new PatternRunner(start, this)) {
    setWindowTitle(QStringLiteral("Schema da ricamo"));
    setAttribute(Qt::WA_DeleteOnClose);
    build();
    const QSize remembered = window ? window->property(kSizeProperty).toSize() : QSize();
    resize(remembered.isValid() ? remembered : QSize(1040, 720));
    connect(m_runner, &PatternRunner::made, this, &PatternDialog::patternMade);
    optionsChanged();
}

PatternDialog::~PatternDialog() = default;

void PatternDialog::build() {
    const document::PatternOptions start = startingOptions(m_start);
    auto* form = new QFormLayout;
    const auto spin = [this](int min, int max, int value, const QString& suffix) {
        auto* box = new QSpinBox(this);
        box->setRange(min, max);
        box->setValue(value);
        box->setSuffix(suffix);
        return box;
    };
    const QString stitches = QStringLiteral(" punti");
    m_across = spin(1, stitching::kMaxStitches, start.stitch.across, stitches);
    m_down = spin(1, stitching::kMaxStitches, std::clamp(m_start.down, 1, stitching::kMaxStitches),
                  stitches);
    m_linked = new QCheckBox(QStringLiteral("Altezza in proporzione all'immagine"), this);
    m_linked->setChecked(true);
    m_down->setEnabled(false);
    form->addRow(QStringLiteral("Larghezza:"), m_across);
    form->addRow(QStringLiteral("Altezza:"), m_down);
    form->addRow(QString(), m_linked);

    m_colours = new QComboBox(this);
    m_colours->addItem(QStringLiteral("I %1 colori della tavolozza").arg(m_start.swatches.size()));
    m_colours->addItem(QStringLiteral("Fili scelti per l'immagine"));
    m_threadColours = spin(stitching::kMinThreadColours, stitching::kMaxThreadColours, 30,
                           QStringLiteral(" fili"));
    m_threadColours->setEnabled(false);
    m_snap = new QCheckBox(QStringLiteral("Colori dei fili al posto di quelli della tavolozza"),
                           this);
    form->addRow(QStringLiteral("Colori:"), m_colours);
    form->addRow(QStringLiteral("Fili scelti:"), m_threadColours);
    form->addRow(QString(), m_snap);
    m_brand = brandBox(this, {});
    m_also = brandBox(this, QStringLiteral("Nessuna"));
    form->addRow(QStringLiteral("Marca dei fili:"), m_brand);
    form->addRow(QStringLiteral("Seconda marca:"), m_also);
    m_clean = new QComboBox(this);
    m_clean->addItems({QStringLiteral("0: nessuna"), QStringLiteral("1: punti isolati"),
                       QStringLiteral("2: anche macchie di 1-2 punti e fili rari")});
    m_clean->setCurrentIndex(start.stitch.clean);
    form->addRow(QStringLiteral("Pulizia:"), m_clean);
    m_background = new QComboBox(this);
    m_background->addItem(QStringLiteral("Nessuno, tutto ricamato"));
    m_background->addItem(QStringLiteral("Automatico, il colore del bordo"));
    for (const QRgb swatch : m_start.swatches)
        addBackground(swatch);
    m_background->addItem(QStringLiteral("Altro colore…"));
    form->addRow(QStringLiteral("Sfondo non ricamato:"), m_background);
    connect(m_background, &QComboBox::activated, this, [this](int index) {
        if (index != m_background->count() - 1)
            return;
        const QColor colour = QColorDialog::getColor(Qt::white, this,
                                                     QStringLiteral("Colore lasciato alla tela"));
        if (!colour.isValid()) {
            m_background->setCurrentIndex(0);
            return;
        }
        addBackground(colour.rgb());
        m_background->setCurrentIndex(m_background->count() - 2);
    });

    m_fabric = spin(document::kFabricRange.min, document::kFabricRange.max, start.fabric,
                    QStringLiteral(" per pollice"));
    m_over = new QComboBox(this);
    m_over->addItems({QStringLiteral("Aida, un punto per quadretto"),
                      QStringLiteral("Lino o etamine, su due fili")});
    m_strands = spin(document::kStrandsRange.min, document::kStrandsRange.max, start.strands,
                     QStringLiteral(" capi"));
    m_margin = spin(document::kMarginRange.min, document::kMarginRange.max, start.margin,
                    QStringLiteral(" %"));
    form->addRow(QStringLiteral("Tela:"), m_fabric);
    form->addRow(QString(), m_over);
    form->addRow(QStringLiteral("Capi nell'ago:"), m_strands);
    form->addRow(QStringLiteral("Filo in più:"), m_margin);

    m_paper = new QComboBox(this);
    m_paper->addItems({QStringLiteral("A4"), QStringLiteral("Letter")});
    m_cell = new QDoubleSpinBox(this);
    m_cell->setRange(kAutomaticCell, document::kLargestCell);
    m_cell->setSingleStep(0.1);
    m_cell->setDecimals(1);
    m_cell->setSuffix(QStringLiteral(" mm"));
    m_cell->setSpecialValueText(QStringLiteral("Automatica, circa 3,5 mm"));
    m_cell->setLocale(QLocale(QLocale::Italian, QLocale::Italy));
    m_cell->setValue(kAutomaticCell);
    m_symbols = new QComboBox(this);
    m_symbols->addItems({QStringLiteral("Simboli"), QStringLiteral("Lettere A-P")});
    m_print = new QComboBox(this);
    m_print->addItems({QStringLiteral("A colori"), QStringLiteral("In bianco e nero")});
    m_title = new QLineEdit(start.title, this);
    form->addRow(QStringLiteral("Carta:"), m_paper);
    form->addRow(QStringLiteral("Cella:"), m_cell);
    form->addRow(QStringLiteral("Segni:"), m_symbols);
    form->addRow(QStringLiteral("Stampa:"), m_print);
    form->addRow(QStringLiteral("Titolo:"), m_title);

    m_figures = new QLabel(this);
    m_figures->setTextFormat(Qt::PlainText);
    m_figures->setWordWrap(true);
    m_status = new QLabel(this);
    m_status->setWordWrap(true);
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // A line kept for it, so that a message does not move the preview.
    m_status->setMinimumHeight(m_status->fontMetrics().lineSpacing());
    m_savePdf = new QPushButton(QStringLiteral("Salva PDF…"), this);
    m_saveCsv = new QPushButton(QStringLiteral("Salva legenda CSV…"), this);
    m_saveOxs = new QPushButton(QStringLiteral("Salva OXS…"), this);
    auto* close = new QPushButton(QStringLiteral("Chiudi"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_savePdf);
    buttons->addWidget(m_saveCsv);
    buttons->addWidget(m_saveOxs);
    buttons->addStretch();
    buttons->addWidget(close);

    auto* right = new QVBoxLayout;
    right->addLayout(form);
    right->addWidget(m_figures);
    right->addStretch();

    m_preview = new PatternPreview(this);
    m_previewArea = new QScrollArea(this);
    m_previewArea->setWidget(m_preview);
    m_previewArea->setAlignment(Qt::AlignCenter);
    m_previewArea->setBackgroundRole(QPalette::Dark);
    m_zoom = spin(1, 32, 1, QStringLiteral(" px per punto"));
    auto* zoomRow = new QHBoxLayout;
    zoomRow->addWidget(new QLabel(QStringLiteral("Ingrandimento:"), this));
    zoomRow->addWidget(m_zoom);
    zoomRow->addStretch();
    auto* left = new QVBoxLayout;
    left->addWidget(m_previewArea, 1);
    left->addLayout(zoomRow);

    auto* columns = new QHBoxLayout;
    columns->addLayout(left, 1);
    columns->addLayout(right);
    auto* all = new QVBoxLayout(this);
    all->addLayout(columns, 1);
    all->addWidget(m_status);
    all->addLayout(buttons);

    // Named for the tests and timings that set them as a user would.
    const std::pair<QWidget*, const char*> names[] = {
        {m_across, "across"},   {m_down, "down"},       {m_linked, "linked"},
        {m_colours, "colours"}, {m_threadColours, "threadColours"},
        {m_snap, "snap"},       {m_brand, "brand"},     {m_also, "also"},
        {m_clean, "clean"},     {m_background, "background"},
        {m_fabric, "fabric"},   {m_over, "over"},       {m_strands, "strands"},
        {m_margin, "margin"},   {m_paper, "paper"},     {m_cell, "cell"},
        {m_symbols, "symbols"}, {m_print, "print"},     {m_title, "title"},
        {m_zoom, "zoom"},       {m_figures, "figures"}, {m_status, "status"},
    };
    for (const auto& [widget, name] : names)
        widget->setObjectName(QLatin1String(name));

    const auto changed = [this] { optionsChanged(); };
    for (QSpinBox* box : {m_across, m_down, m_threadColours, m_fabric, m_strands, m_margin})
        connect(box, &QSpinBox::valueChanged, this, changed);
    for (QComboBox* box : {m_colours, m_brand, m_also, m_clean, m_background, m_over, m_paper,
                           m_symbols, m_print})
        connect(box, &QComboBox::currentIndexChanged, this, changed);
    for (QCheckBox* box : {m_linked, m_snap})
        connect(box, &QCheckBox::toggled, this, changed);
    connect(m_cell, &QDoubleSpinBox::valueChanged, this, changed);
    connect(m_title, &QLineEdit::textChanged, this, changed);
    connect(m_zoom, &QSpinBox::valueChanged, this, [this] { refreshPreview(); });
    connect(m_preview, &PatternPreview::zoomed, m_zoom, &QSpinBox::stepBy);
    connect(m_savePdf, &QPushButton::clicked, this, [this] { savePdf(); });
    connect(m_saveCsv, &QPushButton::clicked, this, [this] { saveCsv(); });
    connect(m_saveOxs, &QPushButton::clicked, this, [this] { saveOxs(); });
    connect(close, &QPushButton::clicked, this, &QDialog::close);
}

// A colour to leave unstitched, before the last entry ("Altro colore…") once that is there.
void PatternDialog::addBackground(QRgb colour) {
    QPixmap sample(16, 16);
    sample.fill(QColor(colour));
    const int at = m_background->count() > 2 + int(m_start.swatches.size())
                       ? m_background->count() - 1
                       : m_background->count();
    m_background->insertItem(
        at, QIcon(sample),
        QStringLiteral("#%1").arg(colour & 0xFFFFFF, 6, 16, QChar(u'0')).toUpper(),
        QVariant::fromValue(uint(colour)));
}

document::PatternOptions PatternDialog::options() const {
    document::PatternOptions o;
    stitching::StitchOptions& s = o.stitch;
    s.across = m_across->value();
    s.down = m_linked->isChecked() ? 0 : m_down->value();
    s.brand = kBrands[std::max(0, m_brand->currentIndex())];
    const bool chosen = m_colours->currentIndex() == 1;
    s.threadColours = chosen ? m_threadColours->value() : 0;
    s.snap = !chosen && m_snap->isChecked();
    s.clean = m_clean->currentIndex();
    if (m_also->currentIndex() > 0)
        s.also = kBrands[m_also->currentIndex() - 1];
    switch (m_background->currentIndex()) {
    case 0:
        s.background = stitching::Background::None;
        break;
    case 1:
        s.background = stitching::Background::Auto;
        break;
    default:
        // "Altro colore…" stays chosen only while its chooser is open.
        if (const QVariant colour = m_background->currentData(); colour.isValid()) {
            s.background = stitching::Background::Colour;
            s.backgroundColour = 0xFF000000u | QRgb(colour.toUInt());
        }
    }
    o.fabric = m_fabric->value();
    o.over = m_over->currentIndex() + 1;
    o.strands = m_strands->value();
    o.margin = m_margin->value();
    o.paper = m_paper->currentIndex() == 1 ? document::Paper::Letter : document::Paper::A4;
    o.cell = m_cell->value() <= kAutomaticCell ? 0 : m_cell->value();
    o.symbols =
        m_symbols->currentIndex() == 1 ? document::SymbolSet::Letters : document::SymbolSet::Distinct;
    o.blackAndWhite = m_print->currentIndex() == 1;
    o.title = m_title->text().isEmpty() ? document::titleOf(m_start.picture) : m_title->text();
    return o;
}

const document::PatternOutputs* PatternDialog::outputs() const {
    return m_upToDate && m_outputs ? &*m_outputs : nullptr;
}

void PatternDialog::optionsChanged() {
    const bool linked = m_linked->isChecked();
    m_down->setEnabled(!linked);
    const bool chosen = m_colours->currentIndex() == 1;
    m_threadColours->setEnabled(chosen);
    m_snap->setEnabled(!chosen);
    m_fabric->setSuffix(m_over->currentIndex() == 1 ? QStringLiteral(" fili per pollice")
                                                    : QStringLiteral(" punti per pollice"));
    const stitching::StitchOptions wanted = options().stitch;
    if (!m_made || changesStitches(m_made->options, wanted) || m_runner->busy()) {
        m_upToDate = false;
        m_runner->request(wanted);
        m_status->setText(QStringLiteral("Calcolo dello schema…"));
    }
    refreshDocument();
}

void PatternDialog::patternMade(std::shared_ptr<const MadePattern> made) {
    // A pattern of another size is fitted to the preview again, as it was at first: zoomed in
    // on a corner of it, a new size would show little of the pattern.
    const QSize before = m_made && m_made->pattern ? QSize(m_made->pattern->grid.columns(),
                                                           m_made->pattern->grid.rows())
                                                   : QSize();
    m_made = std::move(made);
    const bool refit = m_made->pattern && before != QSize(m_made->pattern->grid.columns(),
                                                          m_made->pattern->grid.rows());
    m_upToDate = !changesStitches(m_made->options, options().stitch);
    if (!m_made->pattern) {
        m_outputs.reset();
        m_status->setText(m_made->failure);
    } else {
        m_status->clear();
        if (m_linked->isChecked()) {
            const QSignalBlocker blocker(m_down);
            m_down->setValue(m_made->pattern->grid.rows());
        }
    }
    if (refit) {
        const stitching::StitchGrid& grid = m_made->pattern->grid;
        const QSignalBlocker blocker(m_zoom);
        m_zoom->setValue(std::clamp(std::min(kPreviewRoom / std::max(1, grid.columns()),
                                             kPreviewRoom / std::max(1, grid.rows())),
                                    1, m_zoom->maximum()));
    }
    refreshDocument();
}

void PatternDialog::refreshDocument() {
    const bool ready = m_upToDate && m_made && m_made->pattern;
    for (QPushButton* button : {m_savePdf, m_saveCsv, m_saveOxs})
        button->setEnabled(ready);
    if (!m_made || !m_made->pattern) {
        m_outputs.reset();
        m_figures->setText(m_made ? QString() : QStringLiteral("Calcolo dello schema…"));
        refreshPreview();
        return;
    }
    const document::PatternOptions o = options();
    try {
        m_outputs = document::patternOutputs(*m_made->pattern,
                                             document::keySettings(o),
                                             m_made->options.clean, o.stitch.also);
    } catch (const std::bad_alloc&) {
        m_outputs.reset();
        m_status->setText(QStringLiteral("Memoria insufficiente per lo schema."));
    }
    showFigures();
    refreshPreview();
}

void PatternDialog::showFigures() {
    if (!m_outputs) {
        m_figures->clear();
        return;
    }
    const document::PatternOptions o = options();
    const document::PatternFigures f =
        document::patternFigures(*m_outputs, document::keySettings(o), o);
    const QString brand = threads::brandName(m_outputs->stitched.brand);
    QStringList lines{
        QStringLiteral("Punti: %1 × %2").arg(f.columns).arg(f.rows),
        QStringLiteral("Misura finita: ") + cmAndInches(f.finished),
        QStringLiteral("Tessuto da tagliare: ") + cmAndInches(f.cut),
        QStringLiteral("Fili: %1 %2 per %3")
            .arg(document::counted(f.threads, QStringLiteral("filo"), QStringLiteral("fili")),
                 brand,
                 document::counted(f.colours, QStringLiteral("colore"), QStringLiteral("colori"))),
        QStringLiteral("Punti ricamati: %1").arg(f.stitches),
        QStringLiteral("Punti isolati: %1 → %2 dopo la pulizia")
            .arg(f.isolatedBefore)
            .arg(f.isolatedAfter),
        QStringLiteral("Matasse: %1").arg(f.skeins),
        QStringLiteral("Pagine del PDF: %1").arg(f.pages),
    };
    if (!m_upToDate)
        lines << QStringLiteral("(dello schema precedente, in attesa del nuovo)");
    m_figures->setText(lines.join(u'\n'));
}

void PatternDialog::refreshPreview() {
    const Shown wanted{m_outputs ? m_made.get() : nullptr, options().symbols, m_zoom->value()};
    if (wanted == m_shown)
        return;
    m_shown = wanted;
    if (!m_outputs) {
        m_preview->show(nullptr, {}, {}, 1);
        return;
    }
    std::vector<QRgb> colours;
    for (const stitching::PatternEntry& entry : m_outputs->stitched.entries)
        colours.push_back(entry.colour);
    std::vector<QString> symbols;
    if (m_zoom->value() >= PatternPreview::kSymbolCell)
        symbols = document::entrySymbols(m_outputs->key, *m_outputs->table, options().symbols);
    m_preview->show(&m_outputs->stitched.grid, std::move(colours), std::move(symbols),
                    m_zoom->value());
}

bool PatternDialog::save(const QString& prompt, const QString& extension, const QString& filter,
                         const std::function<Failure(const QString&)>& write) {
    if (!outputs())
        return false;
    const QFileInfo picture(m_start.picture);
    const QString suggested =
        QDir(picture.absolutePath()).filePath(picture.completeBaseName() + extension);
    const QString path = m_dialogs.chooseSaveFile(this, prompt, suggested, filter);
    if (path.isEmpty())
        return false;
    Failure failure;
    if (sameFile(path, m_start.picture))
        failure = document::cannotWrite(path, QStringLiteral("è l'immagine dello schema"));
    else {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        try {
            failure = write(path);
        } catch (const std::bad_alloc&) {
            failure = document::cannotWrite(path, QStringLiteral("memoria insufficiente"));
        }
        QApplication::restoreOverrideCursor();
    }
    if (failure) {
        m_dialogs.showError(this, firstUpper(*failure) + u'.');
        return false;
    }
    m_status->setText(QStringLiteral("Salvato in %1").arg(shownName(path)));
    return true;
}

bool PatternDialog::savePdf() {
    return save(QStringLiteral("Salva lo schema in PDF"), QStringLiteral(".pdf"),
                QStringLiteral("Documenti PDF (*.pdf)"), [this](const QString& path) {
                    const document::PatternOptions o = options();
                    return document::savePatternPdf(path, *m_outputs, o.title,
                                                    document::keySettings(o), o,
                                                    document::coloursAreThreads(o.stitch));
                });
}

bool PatternDialog::saveCsv() {
    return save(QStringLiteral("Salva la legenda in CSV"), QStringLiteral(".csv"),
                QStringLiteral("Fogli CSV (*.csv)"),
                [this](const QString& path) { return document::saveShoppingList(path, *m_outputs); });
}

bool PatternDialog::saveOxs() {
    return save(QStringLiteral("Salva lo schema in OXS"), QStringLiteral(".oxs"),
                QStringLiteral("Schemi OXS (*.oxs)"), [this](const QString& path) {
                    const document::PatternOptions o = options();
                    return document::saveOxs(path, *m_outputs, o.title,
                                             document::keySettings(o), o.symbols);
                });
}

void PatternDialog::hideEvent(QHideEvent* event) {
    if (parentWidget())
        parentWidget()->setProperty(kSizeProperty, size());
    QDialog::hideEvent(event);
}

void showPatternDialog(QWidget* window, Dialogs& dialogs, const PatternStart& start) {
    if (start.picture.isEmpty())
        return;
    PatternDialog* dialog = window ? window->findChild<PatternDialog*>() : nullptr;
    // A dialog left open on another picture would save that picture's pattern under the new
    // one's name: it gives way to a dialog on the window's picture of the moment.
    if (dialog && !sameFile(dialog->picture(), start.picture)) {
        dialog->hide(); // keeps its size for the next
        delete dialog;
        dialog = nullptr;
    }
    if (!dialog) {
        dialog = new PatternDialog(window, dialogs, start);
        dialog->show();
    }
    dialog->raise();
    dialog->activateWindow();
}

} // namespace trameda
