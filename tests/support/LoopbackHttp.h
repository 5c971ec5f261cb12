// A small HTTP/1.1 server on 127.0.0.1 for tests of the embedded browser: it serves the pages
// a test puts into it, answers redirects, and notes every request it was sent.
//
//   LoopbackHttp site;
//   site.Page("/a", "<html><body>A</body></html>");
//   site.Redirect("/old", "/a");
//   view.load(site.Url("/a"));
//   EXPECT_EQ(site.Requests("/a"), 1);
#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QStringList>
#include <QUrl>

// A page with the title given and the body given (the title when none is), without margins.
inline QByteArray TitledPage(const QByteArray& title, const QByteArray& body = QByteArray()) {
    return "<html><head><title>" + title + "</title></head><body style=\"margin:0\">" +
           (body.isEmpty() ? title : body) + "</body></html>";
}

class QTcpServer;
class QTcpSocket;

class LoopbackHttp : public QObject {
    Q_OBJECT
public:
    LoopbackHttp();
    ~LoopbackHttp() override;

    // The answer to a GET of path: a page, a file to download, a redirect. A path with a query
    // answers that target only; one without a query answers it with any query.
    void Page(const QString& path, const QByteArray& html);
    void File(const QString& path, const QByteArray& bytes, const QByteArray& fileName);
    void Redirect(const QString& path, const QString& target);

    quint16 Port() const;
    // "http://127.0.0.1:<port>" followed by pathAndQuery.
    QString Address(const QString& pathAndQuery) const;
    QUrl Url(const QString& pathAndQuery) const { return QUrl(Address(pathAndQuery)); }

    // Request targets (path with query) in the order they arrived.
    const QStringList& Log() const { return log_; }
    // How many requests asked for exactly this target (path with query).
    int Requests(const QString& target) const;
    void ClearLog() { log_.clear(); }

private:
    struct Answer {
        QByteArray status;
        QByteArray headers;
        QByteArray body;
    };
    void serve(QTcpSocket* socket);

    QTcpServer* server_;
    QHash<QString, Answer> answers_;
    QStringList log_;
};
