#include "app/StartUp.h"
#include "filter/FilterFunctions.h"
#include "settings/AppInfo.h"

#include <QApplication>
#include <QIcon>

#include <unistd.h>

int main(int argc, char* argv[]) {
    // The embedded browser's sandbox refuses to run as root.
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");

    // The expression functions are registered before any window exists.
    RegisterExpressionFunctions();

    QApplication app(argc, argv);
    QApplication::setApplicationName(AppInfo::ProductName);
    QApplication::setWindowIcon(QIcon(":/art/logo.png"));
    return RunQuarrylog();
}
