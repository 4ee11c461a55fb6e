#include "platform/PropertyList.h"

#include <cstring>
#include <limits>

namespace fw {

namespace {

// Names come from the list's bytes, which may be anything; the message shows
// them printable and short.
std::string Printable(std::string_view name)
{
    constexpr size_t limit = 64;
    std::string out;
    for (size_t i = 0; i < name.size() && i < limit; ++i) {
        unsigned char c = static_cast<unsigned char>(name[i]);
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            out.push_back(char(c));
        } else {
            static const char hex[] = "0123456789ABCDEF";
            out += "\\x";
            out.push_back(hex[c >> 4]);
            out.push_back(hex[c & 0xF]);
        }
    }
    if (name.size() > limit)
        out += "...";
    return out;
}

void AppendName(std::string& bytes, std::string_view name)
{
    // A name the decoder could not read back would turn a builder mistake
    // into a layout error far from its cause, so refuse it here.
    if (name.empty())
        throw PropertyListException("a property list entry needs a name");
    for (char c : name) {
        unsigned char u = static_cast<unsigned char>(c);
        if (u <= 0x20 || u >= 0x7F)
            throw PropertyListException("the property name \"" + Printable(name)
                + "\" must be printable ASCII without blanks");
    }
    bytes.append(name);
    bytes.push_back(' ');
}

void AppendInt32(std::string& bytes, int32_t value)
{
    uint32_t u = uint32_t(value);
    bytes.push_back(char(u >> 24));
    bytes.push_back(char(u >> 16));
    bytes.push_back(char(u >> 8));
    bytes.push_back(char(u));
}

int32_t ReadInt32(std::string_view bytes, size_t at)
{
    auto b = [&](size_t k) { return uint32_t(static_cast<unsigned char>(bytes[at + k])); };
    return int32_t((b(0) << 24) | (b(1) << 16) | (b(2) << 8) | b(3));
}

struct Entry {
    DecodedProperty Property;
    const PropertySetter* Setter;
};

std::vector<Entry> Decode(const std::string& className, std::string_view bytes)
{
    std::vector<Entry> entries;
    size_t pos = 0;
    const size_t n = bytes.size();
    while (pos < n) {
        const void* blank = std::memchr(bytes.data() + pos, ' ', n - pos);
        if (!blank)
            throw PropertyListException("property list of " + className + ": the entry at byte "
                + std::to_string(pos) + " ends before the blank after its name");
        size_t nameEnd = size_t(static_cast<const char*>(blank) - bytes.data());
        std::string name(bytes.substr(pos, nameEnd - pos));
        const PropertySetter* setter = FindProperty(className, name);
        if (!setter)
            throw PropertyListException("property list of " + className + ": unknown property \""
                + Printable(name) + "\" at byte " + std::to_string(pos));
        pos = nameEnd + 1;
        const size_t left = n - pos;
        auto cutShort = [&]() {
            return PropertyListException("property list of " + className + ": the value of \""
                + Printable(name) + "\" is cut short");
        };
        PropertyValue value;
        switch (setter->Type) {
        case PropertyType::Int32:
            if (left < 4)
                throw cutShort();
            value = ReadInt32(bytes, pos);
            pos += 4;
            break;
        case PropertyType::Boolean: {
            if (left < 1)
                throw cutShort();
            unsigned char b = static_cast<unsigned char>(bytes[pos]);
            if (b > 1)
                throw PropertyListException("property list of " + className + ": the Boolean \""
                    + Printable(name) + "\" holds the byte " + std::to_string(b) + ", not 0 or 1");
            value = b == 1;
            pos += 1;
            break;
        }
        case PropertyType::Color:
            if (left < 3)
                throw cutShort();
            value = Color { static_cast<uint8_t>(bytes[pos]), static_cast<uint8_t>(bytes[pos + 1]),
                static_cast<uint8_t>(bytes[pos + 2]) };
            pos += 3;
            break;
        case PropertyType::Text: {
            if (left < 4)
                throw cutShort();
            int32_t length = ReadInt32(bytes, pos);
            if (length < 0)
                throw PropertyListException("property list of " + className + ": the text \""
                    + Printable(name) + "\" has the negative length " + std::to_string(length));
            if (size_t(length) > left - 4)
                throw PropertyListException("property list of " + className + ": the text \""
                    + Printable(name) + "\" claims " + std::to_string(length)
                    + " bytes but only " + std::to_string(left - 4) + " remain");
            value = std::string(bytes.substr(pos + 4, size_t(length)));
            pos += 4 + size_t(length);
            break;
        }
        }
        entries.push_back(Entry { DecodedProperty { std::move(name), std::move(value) }, setter });
    }
    return entries;
}

} // namespace

PropertyList& PropertyList::Int(std::string_view name, int32_t value)
{
    AppendName(m_bytes, name);
    AppendInt32(m_bytes, value);
    return *this;
}

PropertyList& PropertyList::Bool(std::string_view name, bool value)
{
    AppendName(m_bytes, name);
    m_bytes.push_back(value ? 1 : 0);
    return *this;
}

PropertyList& PropertyList::Colour(std::string_view name, Color value)
{
    AppendName(m_bytes, name);
    m_bytes.push_back(char(value.Red));
    m_bytes.push_back(char(value.Green));
    m_bytes.push_back(char(value.Blue));
    return *this;
}

PropertyList& PropertyList::Text(std::string_view name, std::string_view value)
{
    if (value.size() > size_t(std::numeric_limits<int32_t>::max()))
        throw PropertyListException("the text of \"" + Printable(name) + "\" is too long for a property list");
    AppendName(m_bytes, name);
    AppendInt32(m_bytes, int32_t(value.size()));
    m_bytes.append(value);
    return *this;
}

std::vector<DecodedProperty> DecodePropertyList(const std::string& className, std::string_view bytes)
{
    std::vector<Entry> entries = Decode(className, bytes);
    std::vector<DecodedProperty> out;
    out.reserve(entries.size());
    for (Entry& entry : entries)
        out.push_back(std::move(entry.Property));
    return out;
}

void RuntimeMassPropertySetter(Object& target, std::string_view bytes)
{
    // Decoding everything first means a damaged list raises before any
    // property has changed, so the object is never left half laid out.
    std::vector<Entry> entries = Decode(target.ClassName(), bytes);
    for (Entry& entry : entries) {
        if (entry.Setter->Apply)
            entry.Setter->Apply(target, entry.Property.Value);
        else
            target.StoreProperty(entry.Property.Name, std::move(entry.Property.Value));
    }
}

} // namespace fw
