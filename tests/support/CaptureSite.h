// A loopback web site for page captures, on the scripted web server (WebServer.h): a page with a
// style sheet, a picture and a frame, a slow page, a redirect to the page, a download, a page
// that never answers and a page of several MiB. Also a self-signed certificate for an https
// server that the browser refuses, and helpers that wait for a page in a QWebEnginePage.
#pragma once

#include "TempDir.h"
#include "WaitUntil.h"
#include "WebServer.h"

#include <QBuffer>
#include <QImage>
#include <QProcess>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineScript>

#include <memory>
#include <string>

// The text, title and looks the page of CaptureSite has.
inline constexpr const char* CapturedTitle = "Garden tools";
inline constexpr const char* CapturedText = "Spades and rakes for every garden";
inline constexpr const char* FrameText = "Inside the frame";
inline constexpr const char* CapturedColour = "rgb(1, 2, 3)";

class CaptureSite {
public:
    explicit CaptureSite(const WebServerOptions& options = {})
        : server_(std::make_unique<WebServer>(options)) {
        Fill(*server_);
    }

    static void Fill(const WebServer& server) {
        server.setPathReply("page.html", "Content-Type: text/html; charset=utf-8",
                            std::string("<!DOCTYPE html><html><head><title>") + CapturedTitle +
                                "</title><link rel=\"stylesheet\" href=\"style.css\"></head>"
                                "<body><p id=\"text\">" +
                                CapturedText +
                                "</p><img src=\"dot.png\" width=\"20\" height=\"20\">"
                                "<iframe src=\"frame.html\"></iframe></body></html>");
        server.setPathReply("style.css", "Content-Type: text/css",
                            std::string("body { color: ") + CapturedColour + "; }");
        server.setPathReply("dot.png", "Content-Type: image/png", Png());
        server.setPathReply("frame.html", "Content-Type: text/html",
                            std::string("<html><body>") + FrameText + "</body></html>");
        server.setPathReply("slow.html", "Content-Type: text/html\nX-Delay-Ms: 1500",
                            "<html><head><title>Slow</title></head><body>Slow</body></html>");
        server.setPathReply("old.html", "Status: 301\nLocation: /page.html", "");
        server.setPathReply("hang.html", "X-Hang: 1", "");
        server.setPathReply("file.bin",
                            "Content-Type: application/octet-stream\nContent-Disposition: "
                            "attachment; filename=\"tools.bin\"",
                            "not a page");
        server.setPathReply("huge.html", "Content-Type: text/html\nX-Huge-MiB: 3",
                            "<html><head><title>Huge</title></head><body>");
    }

    WebServer& Server() { return *server_; }
    std::string Url(const std::string& path) const { return server_->baseUrl() + "/" + path; }
    // Ends the server: a capture must open without it.
    void StopServer() { server_.reset(); }

    // A picture of 1 by 1 pixel.
    static std::string Png() {
        QImage image(1, 1, QImage::Format_RGB32);
        image.fill(Qt::red);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        return bytes.toStdString();
    }

private:
    std::unique_ptr<WebServer> server_;
};

// A certificate for 127.0.0.1 that nobody signed, made by the openssl program.
class SelfSignedCertificate {
public:
    SelfSignedCertificate() {
        QProcess p;
        p.start("openssl", {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj",
                            "/CN=127.0.0.1", "-keyout", dir_.qpath("key.pem"), "-out",
                            dir_.qpath("cert.pem")});
        if (!p.waitForFinished(60000) || p.exitCode() != 0)
            ADD_FAILURE() << "openssl req failed: " << p.readAllStandardError().toStdString();
    }
    WebServerOptions Options() const { return {dir_.path("cert.pem"), dir_.path("key.pem"), 1}; }

private:
    TempDir dir_;
};

// The bytes of a saved page with the soft line breaks of its quoted-printable parts taken out,
// so that a text of the page can be looked for.
inline std::string WithoutSoftBreaks(std::string mhtml) {
    for (std::size_t at; (at = mhtml.find("=\r\n")) != std::string::npos;)
        mhtml.erase(at, 3);
    return mhtml;
}

// Loads address into page and waits until it has loaded; false when it did not in time.
inline bool LoadPage(QWebEnginePage& page, const QUrl& address, int timeoutMs = 20000) {
    bool done = false, ok = false;
    const auto c = QObject::connect(&page, &QWebEnginePage::loadFinished, [&](bool loaded) {
        done = true;
        ok = loaded;
    });
    page.load(address);
    WaitUntil([&] { return done; }, timeoutMs);
    QObject::disconnect(c);
    return ok;
}

// The result of a script run in the page, as text: in a world of its own, which also reaches a
// page that runs no scripts of its own (a saved page is shown so).
inline QString RunScript(QWebEnginePage& page, const QString& script) {
    QString result;
    bool done = false;
    page.runJavaScript(script, QWebEngineScript::ApplicationWorld, [&](const QVariant& v) {
        result = v.toString();
        done = true;
    });
    WaitUntil([&] { return done; }, 10000);
    return result;
}
