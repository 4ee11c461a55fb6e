#include "platform/HTTPSocket.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include "platform/Application.h"
#include "platform/Exceptions.h"
#include "platform/Object.h"
#include "platform/Plugins.h"
#include "platform/Strings.h"
#include "platform/plugins/NetworkFunctions.h"

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

// Pages are fetched by a library of their own, loaded the first time a
// socket fetches one, so start-up does not load Qt Network. A missing or
// mismatched library is a broken installation: loading it raises
// PluginLoadException, which names the library and what it lacks.
const NetworkFunctions& Library()
{
    static const NetworkFunctions library = LoadPluginTable<NetworkFunctions>();
    return library;
}

} // namespace

class HTTPSocketImpl {
public:
    explicit HTTPSocketImpl(HTTPSocket& owner)
        : m_owner(owner)
    {
    }

    ~HTTPSocketImpl()
    {
        if (m_client)
            Library().Destroy(m_client);
    }

    void Get(const std::string& url)
    {
        Abandon();
        m_url = url;
        const NetworkFunctions& library = Library();
        if (!m_client) {
            const HttpClientEvents events { this, &Header, &Page, &Error };
            m_client = library.Create(&events, HTTPSocket::MaxContentLength);
        }
        library.Get(m_client, url.c_str());
    }

    // Drops the request in progress so that it raises nothing.
    void Abandon()
    {
        m_headers.reset();
        if (m_client)
            Library().Abandon(m_client);
    }

    bool IsConnected() const { return m_client && Library().IsConnected(m_client); }

private:
    static void Header(void* context, const char* name, size_t nameLength, const char* value, size_t valueLength)
    {
        auto& self = *static_cast<HTTPSocketImpl*>(context);
        if (!self.m_headers)
            self.m_headers = std::make_shared<InternetHeaders>();
        self.m_headers->AppendHeader(std::string(name, nameLength), std::string(value, valueLength));
    }

    static void Page(void* context, int32_t status, const char* body, size_t length)
    {
        auto& self = *static_cast<HTTPSocketImpl*>(context);
        auto headers = self.m_headers ? std::move(self.m_headers) : std::make_shared<InternetHeaders>();
        self.m_headers.reset();
        self.RaisePage(status, headers, std::string(body, length));
    }

    static void Error(void* context, int32_t code)
    {
        auto& self = *static_cast<HTTPSocketImpl*>(context);
        self.m_headers.reset();
        self.RaiseError(code);
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
    void* m_client = nullptr;
    std::shared_ptr<InternetHeaders> m_headers;
    std::string m_url;
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
