// The project's loopback search feed (tools/feed_server) and a tinyproxy, each started for one
// test on a free port of 127.0.0.1 and stopped with it.
#pragma once

#include "TempDir.h"
#include "WaitUntil.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

#include <string>
#include <vector>

// A port of 127.0.0.1 that nobody listens on right now.
inline int FreeLoopbackPort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

// A free port of four digits at most (the settings' proxy port field holds four).
inline int FreeShortLoopbackPort() {
    for (int port = 2000 + static_cast<int>(QCoreApplication::applicationPid() % 7000);;) {
        QTcpServer probe;
        if (probe.listen(QHostAddress::LocalHost, static_cast<quint16>(port)))
            return port;
        port = port >= 9999 ? 2000 : port + 1;
    }
}

inline bool PortAccepts(int port) {
    QTcpSocket s;
    s.connectToHost(QHostAddress::LocalHost, static_cast<quint16>(port));
    return s.waitForConnected(200);
}

class FeedServer {
public:
    // extra: further options of the server (--behave, --listings, --delay-ms, ...).
    explicit FeedServer(const QStringList& extra = {}) {
        QDir().mkpath(dir_.qpath("replies"));
        QDir().mkpath(dir_.qpath("record"));
        QStringList args{FEED_SERVER_SCRIPT,    "--port",   "0",
                         "--port-file",         portFile(), "--replies",
                         dir_.qpath("replies"), "--record", dir_.qpath("record")};
        args += extra;
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_.start("python3", args);
        process_.waitForStarted(10000);
        WaitUntil([&] { return QFile::exists(portFile()); }, 20000);
        port_ = QString::fromStdString(dir_.read("port")).trimmed().toInt();
    }
    ~FeedServer() {
        process_.kill();
        process_.waitForFinished(5000);
    }

    int port() const { return port_; }
    // "127.0.0.1:PORT", as the FEED_HOST setting takes it.
    std::string host() const { return "127.0.0.1:" + std::to_string(port_); }

    // The reply body for a keyword (read at each request).
    void setReply(const std::string& keyword, const std::string& body) const {
        dir_.write("replies/" + keyword, body);
    }
    // The raw bytes of every request received so far, in order.
    std::vector<std::string> requests() const {
        std::vector<std::string> out;
        for (int n = 1;; ++n) {
            const std::string name = "record/request-" +
                                     QString::number(n).rightJustified(4, '0').toStdString() +
                                     ".bin";
            if (!dir_.exists(name))
                return out;
            out.push_back(dir_.read(name));
        }
    }

private:
    QString portFile() const { return dir_.qpath("port"); }

    TempDir dir_;
    QProcess process_;
    int port_ = 0;
};

// tinyproxy with Basic authentication for one user.
class TinyProxy {
public:
    TinyProxy(const std::string& user, const std::string& password) {
        port_ = FreeShortLoopbackPort();
        dir_.write("tinyproxy.conf", "Port " + std::to_string(port_) +
                                         "\nListen 127.0.0.1\nAllow 127.0.0.1\nBasicAuth " + user +
                                         " " + password +
                                         "\nTimeout 60\nMaxClients 20\nLogLevel Warning\n");
        process_.setProcessChannelMode(QProcess::MergedChannels);
        process_.setStandardOutputFile(dir_.qpath("tinyproxy.log"));
        process_.start("tinyproxy", {"-d", "-c", dir_.qpath("tinyproxy.conf")});
        process_.waitForStarted(10000);
        WaitUntil([&] { return PortAccepts(port_); }, 10000);
    }
    ~TinyProxy() {
        process_.kill();
        process_.waitForFinished(5000);
    }
    int port() const { return port_; }
    bool running() const { return process_.state() == QProcess::Running && PortAccepts(port_); }

private:
    TempDir dir_;
    QProcess process_;
    int port_ = 0;
};
