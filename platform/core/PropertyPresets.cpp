#include "platform/PropertyPresets.h"

namespace fw {

PropertyList WindowProperties(const std::string& title, int32_t width, int32_t height, int32_t frame,
    bool minimizeButton)
{
    PropertyList list;
    list.Int("Placement", 0)
        .Int("Width", width)
        .Int("Height", height)
        .Int("MinWidth", 64)
        .Int("MinHeight", 64)
        .Int("MaxWidth", 32000)
        .Int("MaxHeight", 32000)
        .Int("Frame", frame)
        .Bool("Composite", false)
        .Bool("HasBackColor", false)
        .Colour("BackColor", RGB(255, 255, 255))
        .Text("Title", title)
        .Bool("Visible", true)
        .Bool("FullScreen", false)
        .Bool("MenuBarVisible", true)
        .Bool("CloseButton", true)
        .Bool("Resizeable", false)
        .Bool("LiveResize", false)
        .Bool("MaximizeButton", false)
        .Bool("MinimizeButton", minimizeButton)
        .Bool("FullScreenButton", false)
        .Int("MacProcID", 0);
    return list;
}

PropertyList CommonControlProperties(const ControlFrame& frame, bool lockLeftTop)
{
    PropertyList list;
    list.Int("Left", frame.Left)
        .Int("Top", frame.Top)
        .Int("Width", frame.Width)
        .Int("Height", frame.Height)
        .Int("TabIndex", frame.TabIndex)
        .Bool("LockLeft", lockLeftTop)
        .Bool("LockTop", lockLeftTop)
        .Bool("LockRight", false)
        .Bool("LockBottom", false)
        .Int("TabPanelIndex", 0)
        .Bool("TabStop", true)
        .Bool("Enabled", true)
        .Bool("Visible", true)
        .Text("HelpTag", "")
        .Bool("AutoDeactivate", true)
        .Bool("Italic", false)
        .Bool("Underline", false)
        .Text("InitialParent", "");
    return list;
}

PropertyList ButtonProperties(const ControlFrame& frame, const std::string& caption, bool lockLeftTop,
    bool isDefault)
{
    auto list = CommonControlProperties(frame, lockLeftTop);
    list.Text("Caption", caption)
        .Text("TextFont", "System")
        .Bool("Bold", true)
        .Bool("Default", isDefault)
        .Bool("Cancel", false)
        .Int("ButtonStyle", 0);
    return list;
}

PropertyList LabelProperties(const ControlFrame& frame, const std::string& text, const std::string& font, bool bold,
    int32_t align)
{
    auto list = CommonControlProperties(frame, true);
    list.Text("Text", text).Text("TextFont", font).Bool("Bold", bold).Int("TextAlign", align);
    return list;
}

PropertyList& EndLabelProperties(PropertyList& list)
{
    return list.Bool("Selectable", false).Bool("Transparent", false).Text("DataSource", "").Text("DataField", "");
}

} // namespace fw
