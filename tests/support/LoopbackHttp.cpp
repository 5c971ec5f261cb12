#include "support/LoopbackHttp.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

LoopbackHttp::LoopbackHttp() : server_(new QTcpServer(this)) {
    server_->listen(QHostAddress::LocalHost, 0);
    connect(server_, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = server_->nextPendingConnection()) {
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { serve(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

LoopbackHttp::~LoopbackHttp() = default;

void LoopbackHttp::Page(const QString& path, const QByteArray& html) {
    answers_[path] = {"200 OK", "Content-Type: text/html; charset=utf-8\r\n", html};
}

void LoopbackHttp::File(const QString& path, const QByteArray& bytes, const QByteArray& fileName) {
    answers_[path] = {"200 OK",
                      "Content-Type: application/octet-stream\r\n"
                      "Content-Disposition: attachment; filename=\"" +
                          fileName + "\"\r\n",
                      bytes};
}

void LoopbackHttp::Redirect(const QString& path, const QString& target) {
    answers_[path] = {"302 Found", "Location: " + target.toUtf8() + "\r\n", QByteArray()};
}

quint16 LoopbackHttp::Port() const {
    return server_->serverPort();
}

QString LoopbackHttp::Address(const QString& pathAndQuery) const {
    return QString("http://127.0.0.1:%1%2").arg(Port()).arg(pathAndQuery);
}

int LoopbackHttp::Requests(const QString& target) const {
    return static_cast<int>(log_.count(target));
}

void LoopbackHttp::serve(QTcpSocket* socket) {
    // The request is answered once its head is complete; bodies are not expected.
    QByteArray head = socket->property("head").toByteArray() + socket->readAll();
    if (!head.contains("\r\n\r\n")) {
        socket->setProperty("head", head);
        return;
    }
    socket->setProperty("head", QByteArray());
    const QList<QByteArray> words = head.left(head.indexOf("\r\n")).split(' ');
    const QString target = words.size() >= 2 ? QString::fromUtf8(words[1]) : QString();
    log_.append(target);
    const QString path = target.left(target.indexOf('?') < 0 ? target.size() : target.indexOf('?'));

    Answer answer{"404 Not Found", "Content-Type: text/html\r\n",
                  "<html><body>Not found</body></html>"};
    // A target registered with its query comes before its path alone.
    if (answers_.contains(target))
        answer = answers_.value(target);
    else if (path != "/favicon.ico")
        answer = answers_.value(path, answer);
    QByteArray reply = "HTTP/1.1 " + answer.status + "\r\n" + answer.headers +
                       "Content-Length: " + QByteArray::number(answer.body.size()) +
                       "\r\nCache-Control: no-store\r\nConnection: close\r\n\r\n" + answer.body;
    socket->write(reply);
    socket->disconnectFromHost();
}
