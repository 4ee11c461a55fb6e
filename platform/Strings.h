#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace fw {

// Text is UTF-8. Positions and lengths count characters from 1; a byte that
// does not start a valid UTF-8 sequence counts as one character, so any bytes
// are safe to pass.
using String = std::string;

int32_t Len(std::string_view s);
// Characters from `start` on, `length` of them. A start below 1 counts as 1;
// a negative length gives "".
String Mid(std::string_view s, int32_t start, int32_t length);
String Mid(std::string_view s, int32_t start);
// Position of the first `find` in `s` at or after `start` (1-based), 0 when
// absent. Case-sensitive. A start below 1 counts as 1.
int32_t InStr(int32_t start, std::string_view s, std::string_view find);
int32_t InStr(std::string_view s, std::string_view find);
// The n-th field (from 1) of `s` split at `separator`; "" when there are fewer.
String NthField(std::string_view s, std::string_view separator, int32_t n);
String Lowercase(std::string_view s);
String Chr(int32_t codePoint);

// The framework's "=" on strings: ignores case (Unicode case folding).
bool StrEq(std::string_view a, std::string_view b);

// Reads an optional sign, digits, a decimal point and an exponent after
// leading blanks; 0 when the text starts with no number.
double Val(std::string_view s);
String Str(int64_t value);
String Str(double value);

// Double to Int32: nearest, halves away from zero; saturates at the Int32
// limits; NaN gives 0.
int32_t ToInt32(double value);

} // namespace fw
