#include "platform/HTTPSocket.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QTimer>
#include <QUrl>

#include "platform/Application.h"
#include "platform/Object.h"
#include "platform/Strings.h"

namespace fw {

std::string InternetHeaders::Name(int32_t index) const
{
    if (index < 0 || index >= Count())
        return "";
    return m_lines[size_t(index)].first;
}

std::string InternetHeaders::Value(int32_t index) const
{
    if (index < 0 || index >= Count())
        return "";
    return m_lines[size_t(index)].second;
}

std::string InternetHeaders::Value(const std::string& name) const
{
    for (const auto& [lineName, value] : m_lines) {
        if (QString::fromUtf8(lineName).compare(QString::fromUtf8(name), Qt::CaseInsensitive) == 0)
            return value;
    }
    return "";
}

void InternetHeaders::AppendHeader(const std::string& name, const std::string& value)
{
    m_lines.emplace_back(name, value);
}

std::string InternetHeaders::Source() const
{
    std::string source;
    for (const auto& [name, value] : m_lines)
        source += name + ": " + value + "\r\n";
    return source;
}

namespace {

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

} // namespace

class HTTPSocketImpl {
public:
    explicit HTTPSocketImpl(HTTPSocket& owner)
        : m_owner(owner)
    {
    }

    ~HTTPSocketImpl() { Abandon(); }

    void Get(const std::string& url)
    {
        Abandon();
        uint64_t request = ++m_generation;
        m_url = url;
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
                RaiseError(HTTPSocket::OtherError);
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
            if (length.isValid() && length.toLongLong() > HTTPSocket::MaxContentLength)
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
            qint64 room = HTTPSocket::MaxContentLength - m_body.size();
            QByteArray slice = m_reply->read(room + 1);
            if (slice.isEmpty())
                break;
            m_body += slice;
            if (m_body.size() > HTTPSocket::MaxContentLength) {
                FailOversize();
                return;
            }
        }
    }

    void FailOversize()
    {
        Abandon();
        RaiseError(HTTPSocket::OtherError);
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
        auto headers = std::make_shared<InternetHeaders>();
        for (const auto& [name, value] : reply->rawHeaderPairs())
            headers->AppendHeader(name.toStdString(), value.toStdString());
        reply->deleteLater();
        std::string body(m_body.constData(), size_t(m_body.size()));
        m_body.clear();

        if (error == QNetworkReply::NoError || (IsHttpLevelError(error) && status.isValid()))
            RaisePage(status.isValid() ? status.toInt() : 0, headers, body);
        else
            RaiseError(ErrorCode(error));
    }

    void RaisePage(int32_t status, const std::shared_ptr<InternetHeaders>& headers, const std::string& body)
    {
        std::string url = m_url;
        // The handler may close the window and so release the socket; keep it
        // alive until the handler returns.
        auto keep = m_owner.weak_from_this().lock();
        HTTPSocket& owner = m_owner;
        DispatchEvent(owner.HandlerName("PageReceived"), [&] { owner.Event_PageReceived(url, status, headers, body); });
    }

    void RaiseError(int32_t code)
    {
        auto keep = m_owner.weak_from_this().lock();
        HTTPSocket& owner = m_owner;
        DispatchEvent(owner.HandlerName("Error"), [&] { owner.Event_Error(code); });
    }

    HTTPSocket& m_owner;
    std::unique_ptr<QNetworkAccessManager> m_manager;
    QPointer<QNetworkReply> m_reply;
    QByteArray m_body;
    std::string m_url;
    uint64_t m_generation = 0;
    bool m_pendingFailure = false;
};

namespace {

template <class T>
const T& As(const PropertyValue& value)
{
    return std::get<T>(value);
}

} // namespace

// The socket's own properties (Name and Index come from the Control table).
// The proxy entries are kept but have no effect: the socket never uses a
// proxy.
void RegisterHTTPSocketClass()
{
    ClassDescriptor descriptor;
    descriptor.Name = "HTTPSocket";
    descriptor.Base = "Control";
    descriptor.Factory = [] { return std::make_shared<HTTPSocket>(); };
    auto socket = [](Object& target) -> HTTPSocket& { return dynamic_cast<HTTPSocket&>(target); };
    descriptor.Properties["httpProxyAddress"] = { PropertyType::Text,
        [socket](Object& o, const PropertyValue& v) { socket(o).SethttpProxyAddress(As<std::string>(v)); } };
    descriptor.Properties["httpProxyPort"] = { PropertyType::Int32,
        [socket](Object& o, const PropertyValue& v) { socket(o).SethttpProxyPort(As<int32_t>(v)); } };
    descriptor.Properties["Address"] = { PropertyType::Text,
        [socket](Object& o, const PropertyValue& v) { socket(o).SetAddress(As<std::string>(v)); } };
    descriptor.Properties["Port"] = { PropertyType::Int32,
        [socket](Object& o, const PropertyValue& v) { socket(o).SetPort(As<int32_t>(v)); } };
    descriptor.Properties["yield"] = { PropertyType::Boolean,
        [socket](Object& o, const PropertyValue& v) { socket(o).SetYield(As<bool>(v)); } };
    RegisterClass(std::move(descriptor));
}

HTTPSocket::HTTPSocket()
    : m_impl(std::make_unique<HTTPSocketImpl>(*this))
{
    if (!FindClass("HTTPSocket"))
        RegisterHTTPSocketClass();
}

HTTPSocket::~HTTPSocket() = default;

void HTTPSocket::Get(const std::string& url)
{
    m_impl->Get(url);
}

void HTTPSocket::Disconnect()
{
    m_impl->Abandon();
}

bool HTTPSocket::IsConnected() const
{
    return m_impl->IsConnected();
}

void HTTPSocket::Event_PageReceived(const std::string& url, int32_t status,
    const std::shared_ptr<InternetHeaders>& headers, const std::string& content)
{
    if (OnPageReceived)
        OnPageReceived(*this, url, status, headers, content);
}

void HTTPSocket::Event_Error(int32_t code)
{
    if (OnError)
        OnError(*this, code);
}

void HTTPSocket::Closed()
{
    Disconnect();
}

bool RunEventLoopUntil(const std::function<bool()>& done, int32_t limitMilliseconds)
{
    QElapsedTimer clock;
    clock.start();
    // The ticking timer wakes the wait below, so conditions that change on
    // another thread (a test's server) are seen too.
    QTimer waker;
    waker.start(5);
    while (!done()) {
        if (clock.elapsed() >= limitMilliseconds)
            return done();
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        // Objects released with deleteLater go now, as they would when the
        // event loop turns at the top level.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return true;
}

} // namespace fw
