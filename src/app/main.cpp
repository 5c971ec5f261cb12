#include "settings/TD_settings_user.h"

#include <QApplication>
#include <QMainWindow>

#include <memory>
#include <unistd.h>

int main(int argc, char* argv[]) {
    // The embedded browser's sandbox refuses to run as root.
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");

    QApplication app(argc, argv);
    QApplication::setApplicationName("Quarrylog");

    QMainWindow window;
    window.setWindowTitle("Quarrylog");
    auto settings = std::make_unique<TD_settings_user>();
    settings->RestoreWindowPos(&window);
    window.show();
    const int rc = QApplication::exec();
    settings->StoreWindowPos(&window);
    return rc;
}
