#include "app/application.h"
#include "app/form1.h"
#include "platform/dialogs.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    trameda::prepareApplication();
    trameda::QtDialogs dialogs;
    trameda::Form1 window(dialogs);
    window.show();
    return app.exec();
}
