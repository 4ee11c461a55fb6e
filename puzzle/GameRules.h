#pragma once

#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/Strings.h"

// The game's rules as plain functions over plain values, so they can be
// checked without a window. The handlers read the pieces and the piece table
// and hand the values in; nothing here touches a control.
namespace GameRules {

constexpr int32_t PieceCount = 25;
constexpr int32_t GridSize = 5;
constexpr int32_t TileSize = 100;
// The board's top-left corner in window coordinates; home slots tile it.
constexpr int32_t BoardOrigin = 20;
// How far, in points along each axis, an upright piece may lie from its home
// and still be pulled onto it.
constexpr int32_t SnapTolerance = 20;

// Piece table columns.
constexpr int32_t ColumnRow = 0;
constexpr int32_t ColumnPosition = 1;
constexpr int32_t ColumnHomeLeft = 2;
constexpr int32_t ColumnHomeTop = 3;
constexpr int32_t ColumnRotation = 4;

// Virtual key codes of the arrow keys that turn a piece.
constexpr int32_t KeyLeftArrow = 123;
constexpr int32_t KeyRightArrow = 124;

constexpr int32_t HomeLeft(int32_t piece) { return BoardOrigin + TileSize * (piece % GridSize); }
constexpr int32_t HomeTop(int32_t piece) { return BoardOrigin + TileSize * (piece / GridSize); }

// Decimal text of a whole number; Str has an integer and a double overload, so
// an Int32 needs to say which.
inline std::string IntText(int64_t value) { return fw::Str(value); }

// A sum or difference of two Int32 values kept inside Int32, so that no
// position the player can reach makes the arithmetic undefined.
inline int32_t SaturatingSub(int32_t a, int32_t b) { return fw::ToInt32(double(int64_t(a) - int64_t(b))); }

// Whether an upright piece at (left, top) lies close enough to its home to be
// pulled onto it. The offsets are taken as doubles and rounded to Int32 before
// the comparison, the way the framework converts them; the rotation code is
// read only once both offsets passed, and only the number 0 counts as upright.
inline bool SnapsHome(int32_t left, int32_t top, std::string_view homeLeft, std::string_view homeTop,
    std::string_view code)
{
    int32_t dx = fw::ToInt32(fw::Val(homeLeft) - double(left));
    int32_t dy = fw::ToInt32(fw::Val(homeTop) - double(top));
    if (!(std::abs(double(dx)) <= SnapTolerance))
        return false;
    if (!(std::abs(double(dy)) <= SnapTolerance))
        return false;
    return fw::Val(code) == 0;
}

// Whether a piece counts as solved: exactly on its own home and with the code
// text "0". A code such as "-0" or "00" reads as zero but is not "0", so it
// does not count; only the cells the game writes itself ever reach here.
inline bool IsCorrectPiece(int32_t left, int32_t top, std::string_view homeLeft, std::string_view homeTop,
    std::string_view code)
{
    if (double(left) != fw::Val(homeLeft))
        return false;
    if (double(top) != fw::Val(homeTop))
        return false;
    return fw::StrEq(code, "0");
}

enum class Turn { None, Clockwise, CounterClockwise };

// Which way a double-click turns a piece, from the keyboard's state. A
// clockwise key wins over a counter-clockwise one.
inline Turn TurnFor(bool rightArrow, bool option, bool leftArrow, bool control)
{
    if (rightArrow || option)
        return Turn::Clockwise;
    if (leftArrow || control)
        return Turn::CounterClockwise;
    return Turn::None;
}

// The code a piece gets after one quarter turn from the code text it has: a
// full turn either way comes back to "0"; codes are not otherwise normalised.
inline std::string TurnedCode(std::string_view code, Turn turn)
{
    int64_t current = fw::ToInt32(fw::Val(code));
    if (turn == Turn::Clockwise) {
        int64_t next = current + 1;
        return next == 4 ? std::string("0") : IntText(fw::ToInt32(double(next)));
    }
    if (turn == Turn::CounterClockwise) {
        int64_t next = current - 1;
        return next == -4 ? std::string("0") : IntText(fw::ToInt32(double(next)));
    }
    return std::string(code);
}

// What a counting pass does with its count, given the count the label last
// showed: a rise rewrites the label and pings, a fall rewrites it silently,
// an unchanged count leaves the label alone.
enum class CountChange { Equal, Rise, Fall };
inline CountChange CompareCounts(int32_t lastShown, int32_t counted)
{
    if (lastShown < counted)
        return CountChange::Rise;
    if (counted < lastShown)
        return CountChange::Fall;
    return CountChange::Equal;
}

} // namespace GameRules
