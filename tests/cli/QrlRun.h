// Runs the built qrl tool (QRL_EXE) and collects what it wrote.
#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

#include <string>

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
