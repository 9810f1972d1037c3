#include "app/application.h"
#include "app/commandline.h"
#include "app/form1.h"
#include "platform/dialogs.h"

#include <QApplication>
#include <QGuiApplication>

int main(int argc, char* argv[]) {
    // Any argument asks for a chart without the window, which also runs where there is no
    // display.
    if (argc > 1) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        trameda::commandline::silenceQtMessages();
        QGuiApplication app(argc, argv);
        trameda::prepareApplication();
        return trameda::commandline::main(QGuiApplication::arguments());
    }

    QApplication app(argc, argv);
    trameda::prepareApplication();
    trameda::QtDialogs dialogs;
    trameda::Form1 window(dialogs);
    window.show();
    return app.exec();
}
