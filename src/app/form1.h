#pragma once

#include "patternstart.h"
#include "runtime/controls.h"
#include "runtime/dialogs.h"
#include "runtime/printer.h"
#include "runtime/runtimeerror.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QWidget>
#include <array>
#include <exception>
#include <memory>

namespace trameda {

// The one window. It holds the controls under their established names, the window-level
// variables, and one short handler per user action; the work is done by the subsystems.
class Form1 : public QWidget {
    Q_OBJECT
public:
    // Builds the controls with their design-time settings, then runs start-up.
    explicit Form1(Dialogs& dialogs, QWidget* parent = nullptr);
    ~Form1() override;

    // Controls, in tab order.
    QPushButton* Command1 = nullptr;
    FileListBox* File1 = nullptr;
    std::array<PictureBox*, 2> Picture1{};
    QPushButton* Command2 = nullptr;
    std::array<QScrollBar*, 4> HScroll1{};
    std::array<Swatch*, 16> Label1{};
    QLineEdit* Text1 = nullptr;
    PictureBox* Picture2 = nullptr;
    std::array<QLabel*, 4> Label2{};
    QPushButton* Command3 = nullptr;
    QLineEdit* Text2 = nullptr;
    QLineEdit* Text3 = nullptr;
    QPushButton* Command4 = nullptr;
    FileListBox* File2 = nullptr;
    QCheckBox* Check1 = nullptr;
    QCheckBox* Check2 = nullptr;
    WrappingButton* Command5 = nullptr;
    QCheckBox* Check3 = nullptr;
    QPushButton* Command6 = nullptr;
    QPushButton* Command7 = nullptr;
    QRadioButton* Option1 = nullptr;
    QRadioButton* Option2 = nullptr;
    QLabel* Label3 = nullptr;
    QCheckBox* Check4 = nullptr;
    QCheckBox* Check5 = nullptr;
    ImageBox* Image1 = nullptr;
    Shape* Shape1 = nullptr;
    Shape* Shape2 = nullptr;

    // Window-level variables.
    int blocco = 0;    // 1 while a change of the size bars is being handled
    int annullato = 0; // cancel request for a running conversion
    int incorso = 0;   // 1 while a conversion runs
    int aperto = 0;    // 1 while a colour picker is open
    int campione = 0;  // the swatch being edited
    // Red, green and blue of each palette entry in use, filled at the start of a conversion.
    std::array<double, 21> rosso{};
    std::array<double, 21> verde{};
    std::array<double, 21> blu{};
    // Per colour bin of the automatic palette, indexed [red][green][blue] level: the number of
    // samples (-1 once picked) and the bin's colour.
    using BinTable = std::array<std::array<std::array<int, 11>, 11>, 11>;
    BinTable conta{};
    BinTable tinte{};

    // Handlers. Each is called by its control's signal through run(), and may be called
    // directly; a RuntimeError ends it.
    void Form_Load();
    void Command1_Click();
    void File1_Click();
    void HScroll1_Change(int Index);
    void Command5_Click();
    // A key (a Qt::Key) that no control took for itself.
    void Form_KeyDown(int key);
    // Opens the window on a picture given when the program was started: its folder in File1,
    // and the picture loaded as a click on its entry loads it.
    void apri(const QString& picture);

    // -- Chart conversion: handlers in form1_pattern.cpp --
    void Command2_Click();
    void Command6_Click();
    void Check1_Click();
    // The printer the conversion draws on: the system's unless another output was given.
    Printer& printer();
    // Sends later printing elsewhere; a document still open on the previous printer goes out.
    void setPrintOutput(std::unique_ptr<PrintOutput> output);

    // -- The pattern dialog, reached by Ctrl+E or the background's menu (form1_pattern.cpp) --
    // The window's state as the pattern dialog starts from it.
    PatternStart patternStart() const;
    // Opens the pattern dialog on the loaded picture; without one, beeps and opens nothing.
    void schema();

private:
    // The size and stitch bars at their start-up values.
    void assignStartValues();
    std::unique_ptr<Printer> m_printer;
    // The file the picture in Image1 was read from; empty until a picture has been loaded.
    QString m_pictureFile;

public:
    // -- Palette: handlers in form1_palette.cpp --
    void Label1_MouseDown(int Index, int Button, int Shift, double X, double Y);
    void Picture1_MouseMove(int Index, int Button, int Shift, double X, double Y);
    void Picture1_MouseUp(int Index, int Button, int Shift, double X, double Y);
    void Picture2_MouseMove(int Button, int Shift, double X, double Y);
    void Picture2_MouseUp(int Button, int Shift, double X, double Y);
    void Text1_Change();
    void Text1_LostFocus();
    void Command7_Click(); // the automatic palette
    void Command3_Click(); // save the palette
    void Command4_Click(); // show the palette files
    void File2_Click();    // load the clicked palette file
    // Shows colour c, read at (x, y) of an open picker, in the patch Text3.
    void viscol(double x, double y, Colour c);

    // Loads the picture selected in File1 and paints it over both work surfaces. Never fails:
    // a picture that cannot be loaded leaves the previous one in place.
    void carica();

    Dialogs& dialogs() { return m_dialogs; }

    // Runs a handler to its end or to its first run-time error, which is reported to the user.
    // Nothing thrown leaves it, so no exception crosses the event loop.
    template <typename Handler> void run(Handler&& handler) noexcept {
        try {
            handler();
        } catch (const RuntimeError& error) {
            report(error);
        } catch (const std::bad_alloc&) {
            report(RuntimeError(RuntimeError::OutOfMemory));
        } catch (const std::exception& error) {
            report(RuntimeError(RuntimeError::Internal, QString::fromLocal8Bit(error.what())));
        } catch (...) {
            report(RuntimeError(RuntimeError::Internal));
        }
    }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    // The menu of the window's bare background.
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void createControls();
    // How many pixels the widest caption of a button or box lacks to fit its control; 0 or less
    // when every caption fits.
    int captionShortfall() const;
    // Chooses the window's face and size so that every caption fits its control.
    void fitCaptions();
    void setTabOrder();
    void connectHandlers();
    // Each subsystem's share of building the window and wiring its handlers.
    void preparePattern();
    void preparePalette();
    void report(const RuntimeError& error) noexcept;
    // Runs the width handling twice with the new stitch ratio, leaving the width as it was.
    void nudgeWidth();

    Dialogs& m_dialogs;
};

} // namespace trameda
