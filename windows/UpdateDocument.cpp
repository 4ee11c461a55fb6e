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
