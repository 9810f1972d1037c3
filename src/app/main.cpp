#include "app/application.h"
#include "batch/run.h"
#include "app/form1.h"
#include "app/startup.h"
#include "files/names.h"
#include "runtime/dialogs.h"

#include <QApplication>
#include <QGuiApplication>
#include <vector>

int main(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << trameda::nameFromBytes(argv[i]); // names kept as the system gave them
    const trameda::startup::Start start = trameda::startup::decide(arguments);

    // A chart without the window, which runs where there is no display whatever the environment
    // asks for. Its arguments are its own: Qt sees none of them.
    if (start.mode == trameda::startup::Start::Mode::CommandLine) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qunsetenv("QT_QPA_PLATFORMTHEME");
        trameda::batch::silenceQtMessages();
        int qtArgc = 1;
        char* qtArgv[] = {argv[0], nullptr};
        QGuiApplication app(qtArgc, qtArgv);
        trameda::prepareApplication();
        return trameda::batch::main(arguments);
    }

    // The window's application object is given Qt's options and nothing else.
    std::vector<char*> qtArgv{argv[0]};
    for (const int i : start.qtArguments)
        qtArgv.push_back(argv[i]);
    int qtArgc = int(qtArgv.size());
    qtArgv.push_back(nullptr);
    trameda::startup::WindowStart windowStart(start.platform);
    QApplication app(qtArgc, qtArgv.data());
    windowStart.started();
    trameda::prepareApplication();
    trameda::keepNoSettings();
    trameda::QtDialogs dialogs;
    trameda::Form1 window(dialogs);
    window.show();
    if (!start.picture.isEmpty())
        window.run([&] { window.apri(start.picture); });
    return app.exec();
}
