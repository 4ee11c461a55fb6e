#pragma once

#include <cstdint>
#include <string>

#include "platform/PropertyList.h"

namespace fw {

// Property lists as the window designer stores them, its defaults filled in,
// so a window states only what differs. Each list keeps the designer's order.

// A window's list: the given title, content size, frame kind and minimise
// button; fixed size, a close button, no maximise or full-screen button,
// no back colour of its own, visible with its menu bar.
PropertyList WindowProperties(const std::string& title, int32_t width, int32_t height, int32_t frame,
    bool minimizeButton);

// Where a control sits and its place in the tab order.
struct ControlFrame {
    int32_t Left;
    int32_t Top;
    int32_t Width;
    int32_t Height;
    int32_t TabIndex;
};

// What every control of a dialog stores: its frame, whether it keeps its
// left and top edges, a tab stop, enabled and visible, no help tag, no italic
// or underline, no initial parent.
PropertyList CommonControlProperties(const ControlFrame& frame, bool lockLeftTop);

// A dialog's push button: the common list, then the caption in the bold
// System font, whether it is the default button, never the cancel button.
PropertyList ButtonProperties(const ControlFrame& frame, const std::string& caption, bool lockLeftTop,
    bool isDefault);

// A dialog's label up to its alignment: the common list with the left and
// top edges kept, then the text in the given font, bold or not, aligned left
// (0), centred (1) or right (2). The caller adds its colour and line
// settings, then ends the list with EndLabelProperties.
PropertyList LabelProperties(const ControlFrame& frame, const std::string& text, const std::string& font, bool bold,
    int32_t align);

// What ends a dialog's label list: neither selectable nor transparent, and
// bound to no data.
PropertyList& EndLabelProperties(PropertyList& list);

} // namespace fw
