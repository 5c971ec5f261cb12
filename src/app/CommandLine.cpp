#include "app/CommandLine.h"

#include "settings/AppInfo.h"

CommandLine ParseCommandLine(const QStringList& args) {
    CommandLine line;
    bool optionsEnded = false;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (!optionsEnded && (arg == "--version" || arg == "-v")) {
            line.action = CommandLine::Version;
            return line;
        }
        if (!optionsEnded && (arg == "--help" || arg == "-h")) {
            line.action = CommandLine::Help;
            return line;
        }
        if (!optionsEnded && arg.startsWith('-') && arg.size() > 1) {
            line.action = CommandLine::Error;
            line.error = "unknown option \"" + arg + "\"";
            return line;
        }
        if (!line.report.isEmpty()) {
            line.action = CommandLine::Error;
            line.error = "only one report can be opened";
            return line;
        }
        if (arg.isEmpty()) {
            line.action = CommandLine::Error;
            line.error = "the report's name is empty";
            return line;
        }
        line.report = arg;
    }
    return line;
}

QString VersionLine() {
    return QString("quarrylog ") + AppInfo::Version;
}

QString HelpLine() {
    return "Usage: quarrylog [REPORT.qrl]   open the report (--version: print the version)";
}
