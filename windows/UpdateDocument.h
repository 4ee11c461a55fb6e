#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/Strings.h"

// The update document as the update check reads it: no XML parser, just the
// first text between an element's start and end tag, character for
// character. Plain functions over text so they can be tested and fuzzed
// without a window.
namespace UpdateDocument {

// "<" name ">".
fw::String startTag(std::string_view name);
// "</" name ">".
fw::String endTag(std::string_view name);

// The text between the first start tag of `name` and the first end tag at or
// after the position right behind it. Nothing is trimmed or decoded. A
// missing start tag makes the search start at position Len(start tag); a
// missing end tag gives "".
fw::String returnValue(std::string_view data, std::string_view name);

// Whether the document's version names the running one: the first three
// dot-separated fields, each read with Val, equal major, minor and bug. The
// comparison stops at the first field that differs and never reads a fourth.
bool SameVersion(const std::string& versionText, int32_t major, int32_t minor, int32_t bug);

// The offer's message: the version on offer, the running version and the
// wording for a free or a paid upgrade.
fw::String OfferMessage(std::string_view version, std::string_view runningVersion, bool free);

} // namespace UpdateDocument
