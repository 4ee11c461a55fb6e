#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/Control.h"

namespace fw {

// The header lines of an HTTP response, in the order they came.
class InternetHeaders : public Object {
public:
    std::string ClassName() const override { return "InternetHeaders"; }

    int32_t Count() const { return int32_t(m_lines.size()); }
    // Name and value of line `index` (from 0); "" beyond the last.
    std::string Name(int32_t index) const;
    std::string Value(int32_t index) const;
    // The value of the first line called `name` (ignoring case); "" when none.
    std::string Value(const std::string& name) const;
    void AppendHeader(const std::string& name, const std::string& value);
    // All lines as "Name: value", each ended by CR LF.
    std::string Source() const;

private:
    std::vector<std::pair<std::string, std::string>> m_lines;
};

class HTTPSocketImpl;

// A non-visual control that fetches one page at a time over HTTP. Get returns
// at once; the answer arrives later, from the event loop, as PageReceived (any
// HTTP status, with its body) or as Error with one of the codes below. No
// proxy is used, whatever the desktop's settings are. Closing the owning
// window aborts the request, and no event arrives afterwards.
class HTTPSocket : public Control {
public:
    // Error codes.
    static constexpr int32_t OtherError = 100;
    static constexpr int32_t ConnectionError = 102; // refused, or closed before the body was complete
    static constexpr int32_t HostNotFoundError = 103;
    static constexpr int32_t TimedOutError = 104;
    // A body longer than this is not kept: the request stops with OtherError.
    static constexpr int64_t MaxContentLength = 1024 * 1024;

    HTTPSocket();
    ~HTTPSocket() override;
    std::string ClassName() const override { return "HTTPSocket"; }

    void Constructor() {}

    // Starts an asynchronous GET of `url` (http or https), abandoning any
    // request still running without an event for it.
    void Get(const std::string& url);
    // Abandons the request in progress; no event arrives for it.
    void Disconnect();
    // Whether a request is running.
    bool IsConnected() const;

    // Stored for the property list; the socket never uses a proxy.
    const std::string& httpProxyAddress() const { return m_httpProxyAddress; }
    void SethttpProxyAddress(const std::string& value) { m_httpProxyAddress = value; }
    int32_t httpProxyPort() const { return m_httpProxyPort; }
    void SethttpProxyPort(int32_t value) { m_httpProxyPort = value; }
    const std::string& Address() const { return m_address; }
    void SetAddress(const std::string& value) { m_address = value; }
    int32_t Port() const { return m_port; }
    void SetPort(int32_t value) { m_port = value; }
    bool Yield() const { return m_yield; }
    void SetYield(bool value) { m_yield = value; }

    // Event handlers. PageReceived gets the requested URL, the HTTP status,
    // the response headers and the body.
    std::function<void(HTTPSocket&, const std::string& url, int32_t status,
        const std::shared_ptr<InternetHeaders>& headers, const std::string& content)>
        OnPageReceived;
    std::function<void(HTTPSocket&, int32_t code)> OnError;

    virtual void Event_PageReceived(const std::string& url, int32_t status,
        const std::shared_ptr<InternetHeaders>& headers, const std::string& content);
    virtual void Event_Error(int32_t code);

    // Framework hook: the owning window closed.
    void Closed() override;

private:
    std::unique_ptr<HTTPSocketImpl> m_impl;
    std::string m_httpProxyAddress;
    int32_t m_httpProxyPort = 0;
    std::string m_address;
    int32_t m_port = 0;
    bool m_yield = false;
};

// Registers the class and its property table; the constructor does it on
// first use, so calling it is only needed before a socket is made by name.
void RegisterHTTPSocketClass();

// Delivers events from the event loop until `done` returns True or
// `limitMilliseconds` have passed; returns what `done` returns last. For tests
// that wait for a socket's answer (the limit only bounds a test that goes
// wrong; nothing is measured).
bool RunEventLoopUntil(const std::function<bool()>& done, int32_t limitMilliseconds);

} // namespace fw
