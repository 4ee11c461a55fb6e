#include "windows/UpdateDocument.h"

namespace UpdateDocument {

fw::String startTag(std::string_view name)
{
    fw::String tag = "<";
    tag += name;
    tag += ">";
    return tag;
}

fw::String endTag(std::string_view name)
{
    fw::String tag = "</";
    tag += name;
    tag += ">";
    return tag;
}

fw::String returnValue(std::string_view data, std::string_view name)
{
    fw::String tag = startTag(name);
    // InStr treats a start of 0 as 1, so this searches from the beginning.
    int32_t a = fw::InStr(0, data, tag);
    // Computed in 64 bits: the positions are character counts of a text that
    // fits in memory, but the sum and difference must not wrap on the way.
    int64_t s = int64_t(a) + fw::Len(tag);
    if (s > INT32_MAX)
        return "";
    int32_t b = fw::InStr(int32_t(s), data, endTag(name));
    int64_t length = int64_t(b) - s;
    if (length < 0)
        return "";
    return fw::Mid(data, int32_t(s), int32_t(length));
}

bool SameVersion(const std::string& versionText, int32_t major, int32_t minor, int32_t bug)
{
    const int32_t running[3] = { major, minor, bug };
    for (int32_t k = 1; k <= 3; ++k) {
        double field = fw::Val(fw::NthField(versionText, ".", k));
        if (field != double(running[k - 1]))
            return false;
    }
    return true;
}

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

// Characters a host name, an IPv4 or a bracketed IPv6 address may hold
// (with a port after a colon). Percent signs and backslashes are left out:
// browsers read them in ways that can point somewhere else than the text
// seems to say.
bool IsHostCharacter(char c)
{
    return IsAsciiAlpha(c) || (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_'
        || c == ':' || c == '[' || c == ']';
}

} // namespace

bool IsWebURL(std::string_view url)
{
    // Blanks and control characters are refused outright: a browser or the
    // desktop may trim or reinterpret them.
    for (unsigned char c : url) {
        if (c <= 0x20 || c == 0x7F)
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
    for (char c : hostAndPort) {
        if (!IsHostCharacter(c))
            return false;
    }
    return true;
}

fw::String OfferMessage(std::string_view version, std::string_view runningVersion, bool free)
{
    fw::String message = "Version ";
    message += version;
    message += " is now available. ";
    message += "(You are using version ";
    message += runningVersion;
    message += ".) ";
    if (free) {
        message += "This is a free upgrade. ";
        message += "Would you like to automatically download ";
        message += "this update (using your web browser)?";
    } else {
        message += "This is a paid upgrade. ";
        message += "Would you like to automatically download ";
        message += "the trial version (using your web browser)?";
    }
    return message;
}

} // namespace UpdateDocument
