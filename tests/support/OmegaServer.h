// Xapian Omega (Debian packages xapian-omega, xapian-tools, run by tools/omega_server) on a free
// port of 127.0.0.1 for one test: the pages the test gives are indexed with omindex (one by one
// in name order, so pages of equal relevance come in that order) and served at /pages/NAME; the
// omega CGI program answers at /cgi-bin/omega, in OpenSearch RSS with FMT=opensearch. An Omega
// that cannot start fails the test with its output.
#pragma once

#include "WebServer.h"

#include <string>
#include <utility>
#include <vector>

class OmegaServer {
public:
    // pages: file name (may hold folders) and HTML text.
    explicit OmegaServer(const std::vector<std::pair<std::string, std::string>>& pages)
        : server_("python3", OMEGA_SERVER_SCRIPT, {"--pages", WritePages(pages)}) {}

    int port() const { return server_.port(); }
    // "http://127.0.0.1:PORT" (no slash at the end)
    std::string baseUrl() const { return "http://127.0.0.1:" + std::to_string(port()); }
    // The address Omega gives for a page as a result (where it is served, too).
    std::string pageUrl(const std::string& name) const { return baseUrl() + "/pages/" + name; }

    // The OpenSearch template of Omega's RSS results. TOPDOC is the 0-based index of the first
    // result, so a source made from it needs the index offset 0 (TemplateIndexOffset). Omega
    // snaps TOPDOC to a multiple of HITSPERPAGE; hitsPerPage 0 leaves the page size to the
    // source ({count?}; empty: Omega's 10).
    std::string templateUrl(int hitsPerPage = 0) const {
        return baseUrl() + "/cgi-bin/omega?P={searchTerms}&FMT=opensearch&HITSPERPAGE=" +
               (hitsPerPage > 0 ? std::to_string(hitsPerPage) : std::string("{count?}")) +
               "&TOPDOC={startIndex?}";
    }
    static constexpr int TemplateIndexOffset = 0;

private:
    QString WritePages(const std::vector<std::pair<std::string, std::string>>& pages) {
        for (const auto& [name, html] : pages) {
            QDir().mkpath(QFileInfo(dir_.qpath("pages/" + name)).absolutePath());
            dir_.write("pages/" + name, html);
        }
        QDir().mkpath(dir_.qpath("pages"));
        return dir_.qpath("pages");
    }

    TempDir dir_;
    ScriptServerProcess server_;
};
