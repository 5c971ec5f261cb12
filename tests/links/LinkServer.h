// What the link checks are tested against: the scripted web server with the replies of the
// address table below, a port nobody listens on, and a certificate for the wrong name.
#pragma once

#include "support/TempDir.h"
#include "support/WebServer.h"

#include <QProcess>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <memory>
#include <string>

// Addresses (paths) and their replies, shared by the probe and the run tests.
struct PathReply {
    const char* path;
    const char* headers;
    const char* body;
};

inline const PathReply LinkReplies[] = {
    {"ok", "Status: 200\nContent-Type: text/html", "<title>OK</title>"},
    {"moved301", "Status: 301\nLocation: /ok", ""},
    {"found302", "Status: 302\nLocation: /ok", ""},
    {"temp307", "Status: 307\nLocation: /ok", ""},
    {"perm308", "Status: 308\nLocation: /ok", ""},
    {"dir/relative", "Status: 301\nLocation: ../found302", ""},
    {"loop-a", "Status: 302\nLocation: /loop-b", ""},
    {"loop-b", "Status: 302\nLocation: /loop-a", ""},
    {"missing", "Status: 404", "gone"},
    {"gone", "Status: 410", ""},
    {"broken", "Status: 500", ""},
    {"nohead", "Status: 200\nX-Head-Status: 405", "fine to GET"},
    {"nohead501", "Status: 200\nX-Head-Status: 501", ""},
    {"silenthead", "Status: 200\nX-Head-Close: 1", ""},
    {"redirect-no-location", "Status: 302", ""},
    {"hang", "X-Hang: 1", ""},
};

class LinkServerTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        server = std::make_unique<WebServer>();
        for (const PathReply& r : LinkReplies)
            server->setPathReply(r.path, r.headers, r.body);
    }
    static void TearDownTestSuite() { server.reset(); }

    static std::string Url(const std::string& path) { return server->baseUrl() + "/" + path; }

    // The request lines the server received since the test began.
    std::vector<std::string> RequestLines() const {
        std::vector<std::string> out;
        const auto all = server->requests();
        for (std::size_t i = seenBefore_; i < all.size(); ++i)
            out.push_back(all[i].requestLine);
        return out;
    }
    void SetUp() override { seenBefore_ = server->requests().size(); }

    static inline std::unique_ptr<WebServer> server;

private:
    std::size_t seenBefore_ = 0;
};

// A port of 127.0.0.1 that was free a moment ago and has no listener.
inline int RefusedPort() {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof a;
    int port = 0;
    if (::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
        ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &length) == 0)
        port = ntohs(a.sin_port);
    ::close(s);
    return port;
}

// A self-signed certificate for wrong.example: DIR/cert.pem and DIR/key.pem.
inline bool MakeWrongNameCertificate(const TempDir& dir) {
    QProcess openssl;
    openssl.setProcessChannelMode(QProcess::MergedChannels);
    openssl.start("openssl",
                  {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-subj", "/CN=wrong.example",
                   "-days", "2", "-keyout", dir.qpath("key.pem"), "-out", dir.qpath("cert.pem")});
    return openssl.waitForFinished(60000) && openssl.exitCode() == 0 && dir.exists("cert.pem");
}
