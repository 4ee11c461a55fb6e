#include "platform/System.h"

#include <string_view>

#include <QApplication>
#include <QDesktopServices>
#include <QUrl>

#include "platform/Seams.h"

namespace fw {

namespace {

bool IsAsciiAlpha(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i];
        char y = b[i];
        if (IsAsciiAlpha(x))
            x = char(x | 0x20);
        if (IsAsciiAlpha(y))
            y = char(y | 0x20);
        if (x != y)
            return false;
    }
    return true;
}

// Characters a host name, an IPv4 or a bracketed IPv6 address may hold.
// Percent signs and backslashes are left out:
// browsers read them in ways that can point somewhere else than the text
// seems to say.
bool IsHostCharacter(char c)
{
    return IsAsciiAlpha(c) || (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_'
        || c == ':' || c == '[' || c == ']';
}

// The address as written: scheme, "//", an authority of host characters
// after any user part.
bool IsPlainWebAddress(std::string_view url)
{
    // Blanks and control characters are refused outright: a browser or the
    // desktop may trim or reinterpret them. So is a backslash, which browsers
    // read as a slash: "http://evil\@host/" goes to "evil", not to "host".
    for (unsigned char c : url) {
        if (c <= 0x20 || c == 0x7F || c == '\\')
            return false;
    }
    size_t colon = url.find(':');
    if (colon == std::string_view::npos)
        return false;
    std::string_view scheme = url.substr(0, colon);
    if (!EqualsIgnoringAsciiCase(scheme, "http") && !EqualsIgnoringAsciiCase(scheme, "https"))
        return false;
    std::string_view rest = url.substr(colon + 1);
    if (rest.substr(0, 2) != "//")
        return false;
    rest.remove_prefix(2);
    std::string_view authority = rest.substr(0, rest.find_first_of("/?#"));
    size_t at = authority.rfind('@');
    std::string_view hostAndPort = at == std::string_view::npos ? authority : authority.substr(at + 1);
    std::string_view host = hostAndPort;
    if (!host.empty() && host.front() == '[') {
        size_t close = host.find(']');
        if (close == std::string_view::npos || close == 1)
            return false;
        host = host.substr(0, close + 1);
    } else {
        host = host.substr(0, host.find(':'));
    }
    if (host.empty())
        return false;
    for (char c : host) {
        if (!IsHostCharacter(c))
            return false;
    }
    // Nothing but a port may follow the host.
    std::string_view port = hostAndPort.substr(host.size());
    if (port.empty())
        return true;
    if (port.front() != ':')
        return false;
    port.remove_prefix(1);
    for (char c : port) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

} // namespace

bool IsWebURL(const std::string& url)
{
    // Both readings must agree: the plain one refuses what a browser might
    // read another way, and the strict parse is the address ShowURL hands on.
    if (!IsPlainWebAddress(url))
        return false;
    const QUrl parsed(QString::fromUtf8(url.data(), qsizetype(url.size())), QUrl::StrictMode);
    if (!parsed.isValid())
        return false;
    const QString scheme = parsed.scheme().toLower();
    return (scheme == QLatin1String("http") || scheme == QLatin1String("https")) && !parsed.host().isEmpty();
}

bool IsOpenableURL(const std::string& url)
{
    if (IsWebURL(url))
        return true;
    const QUrl parsed(QString::fromUtf8(url.data(), qsizetype(url.size())), QUrl::StrictMode);
    return parsed.isValid() && parsed.scheme().toLower() == QLatin1String("mailto") && !parsed.path().isEmpty();
}

void ShowURL(const std::string& url)
{
    if (auto recorder = Seams::GetURLRecorder()) {
        recorder(url);
        return;
    }
    // Links can come from a downloaded document; a file or program link from
    // there must not reach the desktop, which would open or run it.
    if (!IsOpenableURL(url))
        return;
    QDesktopServices::openUrl(QUrl(QString::fromUtf8(url.data(), qsizetype(url.size())), QUrl::StrictMode));
}

void Beep()
{
    if (auto recorder = Seams::GetBeepRecorder()) {
        recorder();
        return;
    }
    QApplication::beep();
}

} // namespace fw
