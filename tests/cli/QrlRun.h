// Runs the built qrl tool (QRL_EXE) and collects what it wrote.
#pragma once

#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

#include <algorithm>
#include <string>
#include <vector>

struct CliRun {
    int code;
    std::string out, err;
};

// locale: when given, LANG and LC_ALL for the run; otherwise the test's own environment.
inline CliRun RunQrl(const QStringList& args, const QString& locale = QString()) {
    QProcess p;
    if (!locale.isEmpty()) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("LANG", locale);
        env.insert("LC_ALL", locale);
        p.setProcessEnvironment(env);
    }
    p.start(QRL_EXE, args);
    p.waitForFinished(30000);
    const QByteArray out = p.readAllStandardOutput(), err = p.readAllStandardError();
    return {p.exitCode(), out.toStdString(), err.toStdString()};
}

inline QString Bytes(const std::string& s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// A run that fails: its exit code, nothing on standard output and one line on standard error,
// the line given when one is.
struct FailingRun {
    QStringList args;
    int code;
    std::string err;
};

inline void ExpectFailures(const std::vector<FailingRun>& runs) {
    for (const FailingRun& run : runs) {
        SCOPED_TRACE(run.args.join(' ').toStdString());
        const CliRun r = RunQrl(run.args);
        EXPECT_EQ(r.code, run.code);
        EXPECT_EQ(r.out, "");
        if (!run.err.empty()) {
            EXPECT_EQ(r.err, run.err);
        }
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    }
}
