#include "platform/Strings.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <locale.h>

#include <QChar>

namespace fw {

namespace {

bool IsContinuation(unsigned char c)
{
    return (c & 0xC0) == 0x80;
}

// Bytes in the character that starts at s[i]: the length of a valid UTF-8
// sequence (no overlong forms, no surrogates, nothing above U+10FFFF), or 1
// for a byte that starts none, which then stands for itself.
size_t SequenceLength(std::string_view s, size_t i)
{
    const unsigned char c = static_cast<unsigned char>(s[i]);
    if (c < 0x80)
        return 1;
    const size_t left = s.size() - i;
    auto at = [&](size_t k) { return static_cast<unsigned char>(s[i + k]); };
    if (c >= 0xC2 && c <= 0xDF)
        return left >= 2 && IsContinuation(at(1)) ? 2 : 1;
    if (c >= 0xE0 && c <= 0xEF) {
        if (left < 3 || !IsContinuation(at(1)) || !IsContinuation(at(2)))
            return 1;
        if (c == 0xE0 && at(1) < 0xA0)
            return 1; // overlong
        if (c == 0xED && at(1) > 0x9F)
            return 1; // surrogate
        return 3;
    }
    if (c >= 0xF0 && c <= 0xF4) {
        if (left < 4 || !IsContinuation(at(1)) || !IsContinuation(at(2)) || !IsContinuation(at(3)))
            return 1;
        if (c == 0xF0 && at(1) < 0x90)
            return 1; // overlong
        if (c == 0xF4 && at(1) > 0x8F)
            return 1; // beyond U+10FFFF
        return 4;
    }
    return 1;
}

uint32_t Decode(std::string_view s, size_t i, size_t length)
{
    auto at = [&](size_t k) { return uint32_t(static_cast<unsigned char>(s[i + k])); };
    switch (length) {
    case 2:
        return ((at(0) & 0x1F) << 6) | (at(1) & 0x3F);
    case 3:
        return ((at(0) & 0x0F) << 12) | ((at(1) & 0x3F) << 6) | (at(2) & 0x3F);
    case 4:
        return ((at(0) & 0x07) << 18) | ((at(1) & 0x3F) << 12) | ((at(2) & 0x3F) << 6) | (at(3) & 0x3F);
    default:
        return at(0);
    }
}

void AppendCodePoint(std::string& out, uint32_t cp)
{
    if (cp < 0x80) {
        out.push_back(char(cp));
    } else if (cp < 0x800) {
        out.push_back(char(0xC0 | (cp >> 6)));
        out.push_back(char(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(char(0xE0 | (cp >> 12)));
        out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(char(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(char(0xF0 | (cp >> 18)));
        out.push_back(char(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(char(0x80 | (cp & 0x3F)));
    }
}

// The byte offset `count` characters after `from`, or the end of the text;
// `skipped` receives how many characters were actually passed.
size_t SkipCharacters(std::string_view s, size_t from, size_t count, size_t* skipped = nullptr)
{
    size_t i = from;
    size_t passed = 0;
    const size_t n = s.size();
    while (passed < count && i < n) {
        i += static_cast<unsigned char>(s[i]) < 0x80 ? 1 : SequenceLength(s, i);
        ++passed;
    }
    if (skipped)
        *skipped = passed;
    return i;
}

size_t CountCharacters(std::string_view s, size_t from, size_t to)
{
    size_t count = 0;
    for (size_t i = from; i < to; ++count)
        i += static_cast<unsigned char>(s[i]) < 0x80 ? 1 : SequenceLength(s, i);
    return count;
}

// Whether a character starts at byte p. A lead byte always starts one, so
// only the three bytes before p need looking at: p lies inside a character
// exactly when a valid sequence starting there reaches over it.
bool IsBoundary(std::string_view s, size_t p)
{
    if (p == 0 || p >= s.size())
        return true;
    if (!IsContinuation(static_cast<unsigned char>(s[p])))
        return true;
    for (size_t back = 1; back <= 3 && back <= p; ++back) {
        unsigned char c = static_cast<unsigned char>(s[p - back]);
        if (!IsContinuation(c))
            return c < 0x80 || SequenceLength(s, p - back) <= back;
    }
    return true;
}

// The first occurrence of `find` at or after byte `from` that begins and
// ends on character boundaries, so a match never splits a character.
size_t FindAligned(std::string_view s, std::string_view find, size_t from)
{
    for (;;) {
        size_t at = s.find(find, from);
        if (at == std::string_view::npos)
            return at;
        if (IsBoundary(s, at) && IsBoundary(s, at + find.size()))
            return at;
        from = at + 1;
    }
}

} // namespace

int32_t Len(std::string_view s)
{
    size_t count = 0;
    size_t i = 0;
    const size_t n = s.size();
    while (i < n) {
        if (static_cast<unsigned char>(s[i]) < 0x80) {
            ++i;
        } else {
            i += SequenceLength(s, i);
        }
        ++count;
    }
    // A text of more than two thousand million characters cannot be counted
    // in an Int32; saturate rather than wrap to a negative length.
    return count > size_t(std::numeric_limits<int32_t>::max()) ? std::numeric_limits<int32_t>::max()
                                                                 : int32_t(count);
}

String Mid(std::string_view s, int32_t start, int32_t length)
{
    if (length <= 0)
        return {};
    if (start < 1)
        start = 1;
    size_t begin = SkipCharacters(s, 0, size_t(start - 1));
    size_t end = SkipCharacters(s, begin, size_t(length));
    return String(s.substr(begin, end - begin));
}

String Mid(std::string_view s, int32_t start)
{
    if (start < 1)
        start = 1;
    size_t begin = SkipCharacters(s, 0, size_t(start - 1));
    return String(s.substr(begin));
}

int32_t InStr(int32_t start, std::string_view s, std::string_view find)
{
    if (start < 1)
        start = 1;
    size_t skipped = 0;
    size_t from = SkipCharacters(s, 0, size_t(start - 1), &skipped);
    // A start further out than one past the last character finds nothing,
    // not even the empty text.
    if (skipped < size_t(start - 1))
        return 0;
    // The empty text is found right where the search starts, as the standard
    // library's find does; callers that split on it get a sensible answer.
    if (find.empty())
        return start;
    size_t at = FindAligned(s, find, from);
    if (at == std::string_view::npos)
        return 0;
    size_t position = size_t(start) + CountCharacters(s, from, at);
    return position > size_t(std::numeric_limits<int32_t>::max()) ? 0 : int32_t(position);
}

int32_t InStr(std::string_view s, std::string_view find)
{
    return InStr(1, s, find);
}

String NthField(std::string_view s, std::string_view separator, int32_t n)
{
    if (n < 1)
        return {};
    // With nothing to split at, the whole text is the one and only field.
    if (separator.empty())
        return n == 1 ? String(s) : String();
    size_t begin = 0;
    for (int32_t field = 1; field < n; ++field) {
        size_t at = FindAligned(s, separator, begin);
        if (at == std::string_view::npos)
            return {};
        begin = at + separator.size();
    }
    size_t end = FindAligned(s, separator, begin);
    if (end == std::string_view::npos)
        end = s.size();
    return String(s.substr(begin, end - begin));
}

String Lowercase(std::string_view s)
{
    String out;
    out.reserve(s.size());
    size_t i = 0;
    const size_t n = s.size();
    while (i < n) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            out.push_back(c >= 'A' && c <= 'Z' ? char(c + ('a' - 'A')) : char(c));
            ++i;
            continue;
        }
        size_t length = SequenceLength(s, i);
        if (length == 1) {
            // Not the start of a valid sequence: kept exactly as it is.
            out.push_back(char(c));
        } else {
            AppendCodePoint(out, QChar::toLower(char32_t(Decode(s, i, length))));
        }
        i += length;
    }
    return out;
}

String Chr(int32_t codePoint)
{
    String out;
    if (codePoint < 0 || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
        return out; // No character has this number; UTF-8 cannot hold it.
    AppendCodePoint(out, uint32_t(codePoint));
    return out;
}

bool StrEq(std::string_view a, std::string_view b)
{
    size_t i = 0, j = 0;
    const size_t n = a.size(), m = b.size();
    while (i < n && j < m) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[j]);
        if ((x | y) < 0x80) {
            if (x != y) {
                if (x >= 'A' && x <= 'Z')
                    x = x + ('a' - 'A');
                if (y >= 'A' && y <= 'Z')
                    y = y + ('a' - 'A');
                if (x != y)
                    return false;
            }
            ++i;
            ++j;
            continue;
        }
        size_t lx = x < 0x80 ? 1 : SequenceLength(a, i);
        size_t ly = y < 0x80 ? 1 : SequenceLength(b, j);
        bool validX = x < 0x80 || lx > 1;
        bool validY = y < 0x80 || ly > 1;
        if (validX != validY)
            return false;
        if (!validX) {
            // Stray bytes match only themselves, so two different damaged
            // texts never count as equal.
            if (x != y)
                return false;
        } else {
            char32_t cx = char32_t(Decode(a, i, lx));
            char32_t cy = char32_t(Decode(b, j, ly));
            if (cx != cy && QChar::toCaseFolded(cx) != QChar::toCaseFolded(cy))
                return false;
        }
        i += lx;
        j += ly;
    }
    return i == n && j == m;
}

namespace {

locale_t CLocale()
{
    static locale_t locale = newlocale(LC_ALL_MASK, "C", locale_t(0));
    return locale;
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

double Val(std::string_view s)
{
    size_t i = 0;
    const size_t n = s.size();
    while (i < n && (s[i] == ' ' || s[i] == '\t'))
        ++i;
    size_t begin = i;
    if (i < n && (s[i] == '+' || s[i] == '-'))
        ++i;
    size_t digits = 0;
    while (i < n && IsDigit(s[i])) {
        ++i;
        ++digits;
    }
    if (i < n && s[i] == '.') {
        ++i;
        while (i < n && IsDigit(s[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return 0;
    if (i < n && (s[i] == 'e' || s[i] == 'E')) {
        size_t k = i + 1;
        if (k < n && (s[k] == '+' || s[k] == '-'))
            ++k;
        if (k < n && IsDigit(s[k])) {
            while (k < n && IsDigit(s[k]))
                ++k;
            i = k;
        }
        // Otherwise the "e" is not part of the number, which ends before it.
    }
    // Only the checked number reaches strtod, so it cannot take "inf", "nan"
    // or hexadecimal forms; the C locale keeps "." the decimal point whatever
    // the user's settings. Out of range values come back as inf or 0.
    std::string number(s.substr(begin, i - begin));
    return strtod_l(number.c_str(), nullptr, CLocale());
}

String Str(int64_t value)
{
    return std::to_string(value);
}

String Str(double value)
{
    if (value == 0)
        return "0"; // Also for -0, which a player should never see.
    // Shortest digits that read back as the same double, never in exponent
    // form; the longest such text (the smallest subnormal) is under 400 chars.
    char buffer[512];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    if (result.ec != std::errc())
        return {};
    return String(buffer, result.ptr);
}

int32_t ToInt32(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= double(std::numeric_limits<int32_t>::max()))
        return std::numeric_limits<int32_t>::max();
    if (value <= double(std::numeric_limits<int32_t>::min()))
        return std::numeric_limits<int32_t>::min();
    // std::round takes halves away from zero; the value is in range here.
    return int32_t(std::round(value));
}

} // namespace fw
