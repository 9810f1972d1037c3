#include "app/application.h"
#include "batch/run.h"
#include "app/form1.h"
#include "app/startup.h"
#include "files/names.h"
#include "runtime/dialogs.h"

#include <QApplication>
#include <QGuiApplication>

int main(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << trameda::nameFromBytes(argv[i]); // names kept as the system gave them
    const trameda::startup::Start start = trameda::startup::decide(arguments);

    // A chart without the window, which also runs where there is no display.
    if (start.mode == trameda::startup::Start::Mode::CommandLine) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        trameda::batch::silenceQtMessages();
        QGuiApplication app(argc, argv);
        trameda::prepareApplication();
        return trameda::batch::main(arguments);
    }

    QApplication app(argc, argv); // takes Qt's own options out of argv
    trameda::prepareApplication();
    trameda::QtDialogs dialogs;
    trameda::Form1 window(dialogs);
    window.show();
    if (!start.picture.isEmpty())
        window.run([&] { window.apri(start.picture); });
    return app.exec();
}
