#pragma once

// The pattern dialog ("Schema da ricamo"): the preview of the pattern on the left, its options
// with their units and the figures they give on the right, and the three saves below them.

#include "document/patternoutputs.h"
#include "patternpreview.h"
#include "patternstart.h"
#include "patternwork.h"

#include <QDialog>
#include <QImage>
#include <memory>
#include <optional>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QSpinBox;

namespace trameda {

class Dialogs;

class PatternDialog : public QDialog {
    Q_OBJECT
public:
    PatternDialog(QWidget* window, Dialogs& dialogs, const PatternStart& start);
    ~PatternDialog() override;

    // The options as the controls set them.
    document::PatternOptions options() const;
    // The outputs of the latest pattern with the current options, when it is up to date.
    const document::PatternOutputs* outputs() const;
    PatternRunner& runner() { return *m_runner; }
    // The picture the pattern is made from.
    const QString& picture() const { return m_start.picture; }

    // Each asks for a file in the picture's folder and writes it; true when it was written.
    bool savePdf();
    bool saveCsv();
    bool saveOxs();

private:
    void build();
    void addBackground(QRgb colour);
    void optionsChanged();
    void patternMade(std::shared_ptr<const MadePattern> made);
    void refreshDocument();
    void refreshPreview();
    void showFigures();
    bool save(const QString& prompt, const QString& extension, const QString& filter,
              const std::function<Failure(const QString&)>& write);
    void hideEvent(QHideEvent* event) override;

    Dialogs& m_dialogs;
    const PatternStart m_start;
    PatternRunner* m_runner = nullptr;
    std::shared_ptr<const MadePattern> m_made; // the latest pattern made
    std::optional<document::PatternOutputs> m_outputs;
    bool m_upToDate = false;
    // What the preview shows, so that it is drawn again only when that changes.
    struct Shown {
        const MadePattern* made = nullptr;
        document::SymbolSet symbols = document::SymbolSet::Distinct;
        int zoom = 0;
        bool operator==(const Shown&) const = default;
    };
    Shown m_shown;

    QSpinBox* m_across = nullptr;
    QSpinBox* m_down = nullptr;
    QCheckBox* m_linked = nullptr;
    QComboBox* m_colours = nullptr;
    QSpinBox* m_threadColours = nullptr;
    QCheckBox* m_snap = nullptr;
    QComboBox* m_brand = nullptr;
    QComboBox* m_also = nullptr;
    QComboBox* m_clean = nullptr;
    QComboBox* m_background = nullptr;
    QSpinBox* m_fabric = nullptr;
    QComboBox* m_over = nullptr;
    QSpinBox* m_strands = nullptr;
    QSpinBox* m_margin = nullptr;
    QComboBox* m_paper = nullptr;
    QDoubleSpinBox* m_cell = nullptr;
    QComboBox* m_symbols = nullptr;
    QComboBox* m_print = nullptr;
    QLineEdit* m_title = nullptr;
    QLabel* m_figures = nullptr;
    QLabel* m_status = nullptr;
    QSpinBox* m_zoom = nullptr;
    PatternPreview* m_preview = nullptr;
    QScrollArea* m_previewArea = nullptr;
    QPushButton* m_savePdf = nullptr;
    QPushButton* m_saveCsv = nullptr;
    QPushButton* m_saveOxs = nullptr;
};

} // namespace trameda
