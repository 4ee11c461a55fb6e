#pragma once

#include <string>
#include <string_view>

#include "platform/Object.h"

namespace fw {

// Builds a property list in its stored byte encoding: a run of entries, each
// the name in ASCII, one blank, then the value: an Int32 as 4 bytes big-endian,
// a Boolean as 1 byte, a colour as 3 bytes (red, green, blue), a text as a
// 4-byte big-endian length and its bytes.
class PropertyList {
public:
    PropertyList& Int(std::string_view name, int32_t value);
    PropertyList& Bool(std::string_view name, bool value);
    PropertyList& Colour(std::string_view name, Color value);
    PropertyList& Text(std::string_view name, std::string_view value);
    const std::string& Bytes() const { return m_bytes; }
    operator std::string_view() const { return m_bytes; }

private:
    std::string m_bytes;
};

struct DecodedProperty {
    std::string Name;
    PropertyValue Value;
};

// Decodes a property list against the property table of `className`; raises
// PropertyListException naming the property when a name is unknown or an entry
// is cut short.
std::vector<DecodedProperty> DecodePropertyList(const std::string& className, std::string_view bytes);

// Applies the whole list to `target`, in stored order. The list is decoded in
// full before anything is applied, so a bad list changes nothing.
void RuntimeMassPropertySetter(Object& target, std::string_view bytes);

} // namespace fw
