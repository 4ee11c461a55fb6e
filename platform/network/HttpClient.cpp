// Fetches web pages over Qt Network for the HTTP socket. A library of its
// own, loaded the first time a socket fetches a page, so starting the game
// does not pay for loading Qt Network and what it links.

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QTimer>
#include <QUrl>

#include <memory>
#include <string>

#include "platform/HTTPSocket.h"
#include "platform/plugins/NetworkFunctions.h"

namespace {

using fw::HTTPSocket;

// Qt's network errors folded into the socket's codes. Errors of the HTTP
// exchange itself (a 404 page, a 500 page) are no failures here: their body is
// a page like any other.
int32_t ErrorCode(QNetworkReply::NetworkError error)
{
    switch (error) {
    case QNetworkReply::ConnectionRefusedError:
    case QNetworkReply::RemoteHostClosedError:
        return HTTPSocket::ConnectionError;
    case QNetworkReply::HostNotFoundError:
        return HTTPSocket::HostNotFoundError;
    case QNetworkReply::TimeoutError:
        return HTTPSocket::TimedOutError;
    default:
        return HTTPSocket::OtherError;
    }
}

bool IsHttpLevelError(QNetworkReply::NetworkError error)
{
    // Content errors (4xx answers) and server errors (5xx answers) carry a
    // complete response.
    int value = int(error);
    return (value >= 201 && value <= 299) || (value >= 401 && value <= 499);
}

class HttpClient {
public:
    HttpClient(const HttpClientEvents& events, int64_t limit)
        : m_events(events)
        , m_limit(limit)
    {
    }

    ~HttpClient() { Abandon(); }

    void Get(const std::string& url)
    {
        Abandon();
        uint64_t request = ++m_generation;
        m_body.clear();
        QUrl qurl(QString::fromStdString(url));
        QString scheme = qurl.scheme().toLower();
        if (!qurl.isValid() || qurl.host().isEmpty() || (scheme != "http" && scheme != "https")) {
            // Qt would also read file: and qrc: addresses; an HTTP socket
            // fetches web pages only. The failure is still reported from the
            // event loop, as any other would be.
            m_pendingFailure = true;
            QTimer::singleShot(0, Manager(), [this, request] {
                if (request != m_generation || !m_pendingFailure)
                    return;
                m_pendingFailure = false;
                m_events.Error(m_events.Context, HTTPSocket::OtherError);
            });
            return;
        }
        QNetworkRequest networkRequest(qurl);
        m_reply = Manager()->get(networkRequest);
        QNetworkReply* reply = m_reply;
        QObject::connect(reply, &QNetworkReply::metaDataChanged, Manager(), [this, reply] {
            if (reply != m_reply)
                return;
            // A declared length over the limit stops the request before any
            // of the body is read.
            QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
            if (length.isValid() && length.toLongLong() > m_limit)
                FailOversize();
        });
        QObject::connect(reply, &QNetworkReply::readyRead, Manager(), [this, reply] {
            if (reply != m_reply)
                return;
            ReadAvailable();
        });
        QObject::connect(reply, &QNetworkReply::finished, Manager(), [this, reply] {
            if (reply != m_reply)
                return;
            Finish();
        });
    }

    // Drops the request in progress so that it raises nothing.
    void Abandon()
    {
        ++m_generation;
        m_pendingFailure = false;
        if (m_reply) {
            QNetworkReply* reply = m_reply;
            m_reply = nullptr;
            QObject::disconnect(reply, nullptr, m_manager.get(), nullptr);
            reply->abort();
            reply->deleteLater();
        }
        m_body.clear();
    }

    bool IsConnected() const { return m_reply != nullptr || m_pendingFailure; }

private:
    QNetworkAccessManager* Manager()
    {
        if (!m_manager) {
            m_manager = std::make_unique<QNetworkAccessManager>();
            // The desktop's proxy settings are not used: the request goes
            // straight to the server.
            m_manager->setProxy(QNetworkProxy(QNetworkProxy::NoProxy));
        }
        return m_manager.get();
    }

    void ReadAvailable()
    {
        // Read in slices so the body never grows past the limit by more than
        // the check needs.
        while (m_reply && m_reply->bytesAvailable() > 0) {
            qint64 room = m_limit - m_body.size();
            QByteArray slice = m_reply->read(room + 1);
            if (slice.isEmpty())
                break;
            m_body += slice;
            if (m_body.size() > m_limit) {
                FailOversize();
                return;
            }
        }
    }

    void FailOversize()
    {
        Abandon();
        m_events.Error(m_events.Context, HTTPSocket::OtherError);
    }

    void Finish()
    {
        ReadAvailable();
        if (!m_reply)
            return; // the body went over the limit and was reported
        QNetworkReply* reply = m_reply;
        m_reply = nullptr;
        QNetworkReply::NetworkError error = reply->error();
        QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
        const auto headers = reply->rawHeaderPairs();
        reply->deleteLater();
        QByteArray body = m_body;
        m_body.clear();

        // The last call: the handler it raises may destroy this client.
        if (error == QNetworkReply::NoError || (IsHttpLevelError(error) && status.isValid())) {
            for (const auto& [name, value] : headers)
                m_events.Header(m_events.Context, name.constData(), size_t(name.size()), value.constData(), size_t(value.size()));
            m_events.Page(m_events.Context, status.isValid() ? status.toInt() : 0, body.constData(), size_t(body.size()));
        } else {
            m_events.Error(m_events.Context, ErrorCode(error));
        }
    }

    HttpClientEvents m_events;
    int64_t m_limit;
    std::unique_ptr<QNetworkAccessManager> m_manager;
    QPointer<QNetworkReply> m_reply;
    QByteArray m_body;
    uint64_t m_generation = 0;
    bool m_pendingFailure = false;
};

void* Create(const HttpClientEvents* events, int64_t limit)
{
    return new HttpClient(*events, limit);
}

void Get(void* client, const char* url)
{
    static_cast<HttpClient*>(client)->Get(url);
}

void Abandon(void* client)
{
    static_cast<HttpClient*>(client)->Abandon();
}

bool IsConnected(void* client)
{
    return static_cast<HttpClient*>(client)->IsConnected();
}

void Destroy(void* client)
{
    delete static_cast<HttpClient*>(client);
}

} // namespace

TAVRINE_PLUGIN_TABLE(NetworkFunctions {
    .Create = &Create,
    .Get = &Get,
    .Abandon = &Abandon,
    .IsConnected = &IsConnected,
    .Destroy = &Destroy,
})
