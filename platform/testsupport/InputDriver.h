#pragma once

#include <cstdint>

namespace fw {

class RectControl;
class Window;

// Real input for tests of the game: each call builds the Qt events the
// platform would deliver and sends them through the application, so the
// controls, the keyboard tracking and the mouse position see what they would
// see from a player. Positions are window coordinates (points from the
// content area's top-left).
namespace Input {

// A press of the left button on whatever lies topmost at (x, y).
void MouseDown(Window& window, int32_t x, int32_t y);
// The mouse moves to (x, y); while the button is down the move goes to the
// control that took the press.
void MouseMove(Window& window, int32_t x, int32_t y);
// The button is released at (x, y).
void MouseUp(Window& window, int32_t x, int32_t y);
// Press, release, double-click press and release at (x, y).
void DoubleClick(Window& window, int32_t x, int32_t y);

// A key given by its classic Mac virtual key code goes down or up.
void KeyDown(int32_t macKeyCode);
void KeyUp(int32_t macKeyCode);
// Holds or releases Alt (Option) and Ctrl (Control).
void SetModifierKeys(bool alt, bool ctrl);

// Return pressed and released in the window.
void PressReturn(Window& window);
// A real click in the middle of a button or check box.
void Click(RectControl& control);

// The window's close box pressed: the window system asks the window to close,
// as it does for the player.
void CloseBox(Window& window);

// Runs the event loop for this long, so timers fire and queued work runs.
void ProcessEvents(int milliseconds);

// What the window system is told about a window's frame.
struct FrameKind {
    bool Utility = false;
    bool Resizable = false;
    bool MinimizeButton = false;
    bool MaximizeButton = false;
    bool CloseButton = false;
};
FrameKind FrameOf(Window& window);

} // namespace Input

} // namespace fw
