#include "app/StartUp.h"
#include "app/core/CommandLine.h"
#include "filter/core/FilterFunctions.h"
#include "settings/core/AppInfo.h"

#include <QApplication>
#include <QIcon>

#include <cstdio>

#include <unistd.h>

namespace {

// Prints the answer to --version, --help or a wrong command line; -1 when the program is to run.
int answer(const CommandLine& line) {
    switch (line.action) {
    case CommandLine::Version:
        std::printf("%s\n", qPrintable(VersionLine()));
        return 0;
    case CommandLine::Help:
        std::printf("%s\n", qPrintable(HelpLine()));
        return 0;
    case CommandLine::Error:
        std::fprintf(stderr, "quarrylog: %s\n%s\n", qPrintable(line.error), qPrintable(HelpLine()));
        return 2;
    case CommandLine::Run:
        break;
    }
    return -1;
}

} // namespace

int main(int argc, char* argv[]) {
    // --version, --help and a wrong command line are answered without a display: Qt's own
    // options (-platform ...) are set aside for this first reading.
    {
        QStringList raw;
        for (int i = 0; i < argc; ++i)
            raw << QString::fromLocal8Bit(argv[i]);
        if (const int rc = answer(ParseCommandLine(WithoutQtOptions(raw))); rc >= 0)
            return rc;
    }

    // The embedded browser's sandbox refuses to run as root.
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");

    // The expression functions are registered before any window exists.
    RegisterExpressionFunctions();

    QApplication app(argc, argv);
    QApplication::setApplicationName(AppInfo::ProductName);
    QApplication::setWindowIcon(QIcon(":/art/logo.png"));
    QGuiApplication::setDesktopFileName("example.quarrylog.Quarrylog");
    const CommandLine line = ParseCommandLine(QApplication::arguments());
    if (const int rc = answer(line); rc >= 0)
        return rc;
    return RunQuarrylog(line.report);
}
