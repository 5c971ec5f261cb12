// The project's scripted loopback web server (tools/web_server), started for one test on a free
// port of 127.0.0.1 and stopped with it: replies chosen by keyword and page, written by the test
// (statuses, Retry-After, hangs, huge bodies, a reply only once), static files, and a record of
// every request with its arrival time. Also the runner of the python servers under tools/ that
// SearxServer.h and OmegaServer.h share.
#pragma once

#include "TempDir.h"
#include "WaitUntil.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

// One server script run by python for one test. It is given --port 0 --port-file and is ready
// once the port file exists (each script writes it when it serves); a server that exits or does
// not come up in time fails the test with its output. Stopped with SIGTERM (so that it removes
// its temporary files), killed if it does not end.
class ScriptServerProcess {
public:
    ScriptServerProcess(const QString& python, const QString& script, const QStringList& args,
                        int timeoutMs = 60000) {
        process_.setProcessChannelMode(QProcess::MergedChannels);
        process_.setStandardOutputFile(dir_.qpath("output.log"));
        process_.start(
            python, QStringList{script, "--port", "0", "--port-file", dir_.qpath("port")} + args);
        const bool up = WaitUntil(
            [&] { return dir_.exists("port") || process_.state() == QProcess::NotRunning; },
            timeoutMs);
        port_ = QString::fromStdString(dir_.read("port")).trimmed().toInt();
        if (!up || port_ <= 0)
            ADD_FAILURE() << QFileInfo(script).fileName().toStdString() << " did not start ("
                          << process_.errorString().toStdString() << "); its output:\n"
                          << output();
    }
    ~ScriptServerProcess() {
        process_.terminate();
        if (!process_.waitForFinished(5000)) {
            process_.kill();
            process_.waitForFinished(5000);
        }
    }
    ScriptServerProcess(const ScriptServerProcess&) = delete;
    ScriptServerProcess& operator=(const ScriptServerProcess&) = delete;

    int port() const { return port_; }
    // What the server wrote on its standard output and error so far.
    std::string output() const { return dir_.read("output.log"); }

private:
    TempDir dir_;
    QProcess process_;
    int port_ = 0;
};

struct RecordedRequest {
    // When the request arrived: CLOCK_MONOTONIC in milliseconds, the clock of
    // QElapsedTimer::msecsSinceReference() of a started timer.
    qint64 arrivalMs = 0;
    std::string requestLine; // "GET /search?q=cats HTTP/1.1"
    std::vector<std::pair<std::string, std::string>> headers;

    // The path and query of the request line.
    std::string target() const {
        const auto a = requestLine.find(' ');
        const auto b = requestLine.rfind(' ');
        return a == std::string::npos || b <= a ? std::string()
                                                : requestLine.substr(a + 1, b - a - 1);
    }
    // The value of the header (name without regard to case); empty when absent.
    std::string header(std::string_view name) const {
        for (const auto& [k, v] : headers)
            if (QByteArray::fromStdString(k).compare(
                    QByteArray(name.data(), static_cast<qsizetype>(name.size())),
                    Qt::CaseInsensitive) == 0)
                return v;
        return {};
    }
};

// How the web server serves: https with a certificate (PEM files), on more loopback addresses.
struct WebServerOptions {
    std::string tlsCertificate, tlsKey;
    // Listens on 127.0.0.1 .. 127.0.0.hosts, all on one port.
    int hosts = 1;
};

class WebServer {
public:
    WebServer() : WebServer(WebServerOptions{}) {}
    explicit WebServer(const WebServerOptions& options)
        : tls_(!options.tlsCertificate.empty()), folders_(MakeFolders(dir_)),
          server_("python3", WEB_SERVER_SCRIPT, Arguments(dir_, options), 20000) {
        if (!folders_)
            ADD_FAILURE() << "cannot make the folders of the web server in " << dir_.root();
    }

    int port() const { return server_.port(); }
    // "127.0.0.N:PORT"
    std::string host(int n = 1) const {
        return "127.0.0." + std::to_string(n) + ":" + std::to_string(port());
    }
    // "http://127.0.0.1:PORT" (https with a certificate; no slash at the end); n: the address
    // 127.0.0.n of a server on several.
    std::string baseUrl(int n = 1) const { return (tls_ ? "https://" : "http://") + host(n); }

    // The reply to every request for /PATH (its query aside), before any other file: the same
    // header lines and directives as setReply, also X-Head-Status: N (a HEAD gets that status
    // without a body) and X-Head-Close: 1 (a HEAD gets the connection closed); with X-Once: 1
    // the next requests get the reply of path "PATH.again".
    void setPathReply(const std::string& path, const std::string& headers,
                      const std::string& body) const {
        const std::string name = "root/replies/" + path;
        QDir().mkpath(QFileInfo(QString::fromStdString(dir_.path(name))).absolutePath());
        dir_.write(name, headers + (headers.empty() ? "\n" : "\n\n") + body);
    }

    // The reply to requests whose q (or searchTerms, P) is KEYWORD: key "KEYWORD", or
    // "KEYWORD.PAGE" for the page parameter's value PAGE (pageno, p, page, startPage, startIndex,
    // start; without a file for the page, "KEYWORD" answers). headers: lines separated by "\n",
    // e.g. "Status: 429\nRetry-After: 2", with the directives X-Once: 1 (the next requests get
    // the reply of key "KEY.again"), X-Delay-Ms: N, X-Hang: 1, X-Close: 1, X-Huge-MiB: N (see
    // tools/web_server/web_server.py).
    void setReply(const std::string& key, const std::string& headers,
                  const std::string& body) const {
        const QByteArray name = QByteArray::fromStdString(key).toPercentEncoding();
        dir_.write("root/" + name.toStdString(),
                   headers + (headers.empty() ? "\n" : "\n\n") + body);
    }
    // A file served as it is at /PATH (content type by its name: .osd.xml, .xml, .html, .rss,
    // .atom, .json).
    void setFile(const std::string& path, const std::string& body) const {
        const std::string name = "root/files/" + path;
        QDir().mkpath(QFileInfo(QString::fromStdString(dir_.path(name))).absolutePath());
        dir_.write(name, body);
    }

    // Every request received so far, in the order of arrival.
    std::vector<RecordedRequest> requests() const {
        std::vector<RecordedRequest> out;
        for (int n = 1;; ++n) {
            const std::string name = "record/request-" +
                                     QString::number(n).rightJustified(4, '0').toStdString() +
                                     ".txt";
            if (!dir_.exists(name))
                return out;
            RecordedRequest r;
            const QList<QByteArray> lines = QByteArray::fromStdString(dir_.read(name)).split('\n');
            for (int i = 0; i < lines.size(); ++i) {
                const QByteArray line = lines[i].trimmed();
                if (i == 0)
                    r.arrivalMs = line.mid(line.indexOf(':') + 1).trimmed().toLongLong();
                else if (i == 1)
                    r.requestLine = line.toStdString();
                else if (const auto colon = line.indexOf(':'); colon > 0)
                    r.headers.emplace_back(line.left(colon).trimmed().toStdString(),
                                           line.mid(colon + 1).trimmed().toStdString());
            }
            out.push_back(std::move(r));
        }
    }

private:
    static bool MakeFolders(const TempDir& dir) {
        return QDir().mkpath(dir.qpath("root/files")) && QDir().mkpath(dir.qpath("record"));
    }
    static QStringList Arguments(const TempDir& dir, const WebServerOptions& options) {
        QStringList args{"--root", dir.qpath("root"), "--record", dir.qpath("record")};
        if (!options.tlsCertificate.empty())
            args << "--tls" << QString::fromStdString(options.tlsCertificate)
                 << QString::fromStdString(options.tlsKey);
        if (options.hosts > 1)
            args << "--hosts" << QString::number(options.hosts);
        return args;
    }

    TempDir dir_;
    bool tls_;
    bool folders_;
    ScriptServerProcess server_;
};
