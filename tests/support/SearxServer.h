// A real searx (Debian package searx, run by tools/searx_server) on a free port of 127.0.0.1 for
// one test, over pages the test gives: its one engine, searx's offline sqlite engine, finds the
// pages whose title or content holds the keyword (ASCII case ignored), in the order given,
// perPage of them a page (pageno). Nothing leaves the machine. A searx that cannot start fails
// the test with its output.
#pragma once

#include "WebServer.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <string>
#include <vector>

struct SearxPage {
    std::string url;
    std::string title;
    std::string content; // may hold markup; searx's JSON and RSS give it as plain text
};

struct SearxOptions {
    int perPage = 10;
    // A second engine that asks a closed port: every answer names it in unresponsive_engines.
    bool brokenEngine = false;
};

class SearxServer {
public:
    explicit SearxServer(const std::vector<SearxPage>& pages, SearxOptions options = {})
        : server_(Python(), SEARX_SERVER_SCRIPT, Arguments(pages, options)) {}

    int port() const { return server_.port(); }
    // "127.0.0.1:PORT"
    std::string host() const { return "127.0.0.1:" + std::to_string(port()); }
    // "http://127.0.0.1:PORT/", the address a user gives for a searx server.
    std::string baseUrl() const { return "http://" + host() + "/"; }
    // searx's OpenSearch description: it offers only its HTML results (text/html, GET).
    std::string descriptionUrl() const { return baseUrl() + "opensearch.xml"; }
    // An OpenSearch template of searx's RSS results (pages by number from 1).
    std::string rssTemplateUrl() const {
        return baseUrl() + "search?q={searchTerms}&format=rss&pageno={startPage?}";
    }
    // What searx wrote so far (its errors, e.g. the broken engine's).
    std::string output() const { return server_.output(); }

private:
    // searx is a package of Debian's python3 (the script restarts itself with it anyway).
    static QString Python() {
        return QFile::exists("/usr/bin/python3") ? "/usr/bin/python3" : "python3";
    }
    QStringList Arguments(const std::vector<SearxPage>& pages, const SearxOptions& options) {
        QJsonArray list;
        for (const SearxPage& p : pages)
            list.append(QJsonObject{{"url", QString::fromStdString(p.url)},
                                    {"title", QString::fromStdString(p.title)},
                                    {"content", QString::fromStdString(p.content)}});
        dir_.write("pages.json", QJsonDocument(list).toJson().toStdString());
        QStringList args{"--pages-file", dir_.qpath("pages.json"), "--per-page",
                         QString::number(options.perPage)};
        if (options.brokenEngine)
            args << "--broken-engine";
        return args;
    }

    TempDir dir_;
    ScriptServerProcess server_;
};
