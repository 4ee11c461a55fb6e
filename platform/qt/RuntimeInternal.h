#pragma once

// Hooks shared by the files of the Qt runtime. Private to platform/qt.

#include <string>

class QPainter;
class QRectF;

namespace fw {

class Picture;

// Installs the application-wide filter that tracks the keyboard's state and
// each window's mouse position from the input events the application gets.
void InstallInputTracker();
// Makes the next sound played load its player from lib<name>.so (tests of a
// player library that does not match the game).
void UseSoundLibraryForTests(const std::string& name);
// Draws a picture's pixels into `target` (in points), one pixel per point
// when the rectangle has the picture's size.
void DrawPictureInto(QPainter& painter, const Picture& picture, const QRectF& target);

} // namespace fw
