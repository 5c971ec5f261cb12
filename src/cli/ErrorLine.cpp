#include "cli/ErrorLine.h"

#include <QtGlobal>

#include <ostream>

void WriteErrorLine(std::ostream& err, const std::string& message) {
    for (char c : message) {
        if (c == '\r')
            err << "\\r";
        else if (c == '\n')
            err << "\\n";
        else
            err << c;
    }
    err << '\n';
    err.flush();
}

namespace {
void dropMessage(QtMsgType, const QMessageLogContext&, const QString&) {}
} // namespace

void SilenceQtMessages() {
    qInstallMessageHandler(dropMessage);
}
