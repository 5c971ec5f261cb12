// The program's command line: quarrylog [--version | --help | REPORT.qrl].
#pragma once

#include <QString>
#include <QStringList>

struct CommandLine {
    enum Action {
        Run,     // start the program, with report when one was named
        Version, // print VersionLine() and end
        Help,    // print HelpLine() and end
        Error,   // print error and HelpLine() to standard error and end with status 2
    };
    Action action = Run;
    QString report;
    QString error;
};

// Reads the arguments that follow the program name (args[0]). "--" ends the options, so that
// a report whose name begins with "-" can be named.
CommandLine ParseCommandLine(const QStringList& args);

// args without the options that Qt's application object takes for itself (such as
// "-platform offscreen" or "--style=Fusion"), so that the rest can be judged before any window
// system is touched.
QStringList WithoutQtOptions(const QStringList& args);

// "quarrylog 1.0.1 beta"
QString VersionLine();
// "Usage: quarrylog [REPORT.qrl] ..."
QString HelpLine();
