#include "app/core/CommandLine.h"

#include "settings/core/AppInfo.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace {

// Qt's own options, given with one or two dashes: those that take the next argument (or
// "=value") and those that stand alone.
constexpr std::array<std::string_view, 18> kQtOptionsWithValue = {"platform",
                                                                  "platformpluginpath",
                                                                  "platformtheme",
                                                                  "plugin",
                                                                  "qwindowgeometry",
                                                                  "geometry",
                                                                  "qwindowtitle",
                                                                  "title",
                                                                  "qwindowicon",
                                                                  "icon",
                                                                  "session",
                                                                  "display",
                                                                  "name",
                                                                  "style",
                                                                  "stylesheet",
                                                                  "visual",
                                                                  "dialogs",
                                                                  "qmljsdebugger"};
constexpr std::array<std::string_view, 6> kQtFlags = {"reverse", "testability", "widgetcount",
                                                      "nograb",  "dograb",      "sync"};

bool among(const auto& names, const QString& name) {
    const QByteArray latin = name.toLatin1();
    return std::find(names.begin(), names.end(),
                     std::string_view(latin.constData(), static_cast<size_t>(latin.size()))) !=
           names.end();
}

} // namespace

QStringList WithoutQtOptions(const QStringList& args) {
    QStringList rest;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        // After "--" everything is a report's name.
        if (i > 0 && arg == "--") {
            rest << args.mid(i);
            break;
        }
        if (i == 0 || !arg.startsWith('-') || arg == "-") {
            rest << arg;
            continue;
        }
        QString name = arg.mid(arg.startsWith("--") ? 2 : 1);
        const qsizetype equals = name.indexOf('=');
        const bool hasValue = equals >= 0;
        if (hasValue)
            name.truncate(equals);
        if (among(kQtFlags, name) && !hasValue)
            continue;
        if (among(kQtOptionsWithValue, name)) {
            if (!hasValue)
                ++i; // its value
            continue;
        }
        rest << arg;
    }
    return rest;
}

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
