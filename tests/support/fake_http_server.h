#pragma once

#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>

namespace testing_support {

// A one-shot HTTP server on loopback standing in for the update host. It
// records the request and answers with the given response, or never.
class FakeHttpServer {
public:
    explicit FakeHttpServer(QByteArray response)
        : response_(std::move(response)) {
        server_.listen(QHostAddress::LocalHost);
        QObject::connect(&server_, &QTcpServer::newConnection, [this] {
            QTcpSocket* socket = server_.nextPendingConnection();
            QObject::connect(socket, &QTcpSocket::readyRead, [this, socket] {
                request_ += socket->readAll();
                if (request_.contains("\r\n\r\n") && !response_.isEmpty()) {
                    socket->write(response_);
                    socket->disconnectFromHost();
                }
            });
        });
    }
    QUrl url() const {
        return QUrl(QStringLiteral("http://127.0.0.1:%1/yiyaozj/zyb/Predate.ini")
                        .arg(server_.serverPort()));
    }
    const QByteArray& request() const { return request_; }

private:
    QTcpServer server_;
    QByteArray response_;
    QByteArray request_;
};

} // namespace testing_support
