// calora: configures and monitors TQ series temperature controllers.
#include "app/CaloraApp.h"

#include <QApplication>

#include <cstring>

int main(int argc, char** argv) {
    QApplication qtApp(argc, argv);
    CCaloraApp::Options options;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--demo") == 0)
            options.demo = true;
    }
    CCaloraApp app(QCoreApplication::applicationFilePath().toStdString(), options);
    return app.Run();
}
