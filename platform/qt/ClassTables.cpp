// The descriptors of the framework's own classes: each window and control
// class with the property table its property lists are decoded against. A
// name a class does not list makes the list fail loudly.
#include <initializer_list>

#include "platform/Application.h"
#include "platform/Canvas.h"
#include "platform/CheckBox.h"
#include "platform/Label.h"
#include "platform/Listbox.h"
#include "platform/ProgressBar.h"
#include "platform/PushButton.h"
#include "platform/Rectangle.h"
#include "platform/TextArea.h"
#include "platform/Timer.h"
#include "platform/Window.h"

namespace fw {

namespace {

using Table = std::map<std::string, PropertySetter>;

template <class T>
T& As(Object& object)
{
    auto* typed = dynamic_cast<T*>(&object);
    if (!typed)
        throw IllegalCastException("a property of " + object.ClassName() + " was applied through another class's table");
    return *typed;
}

template <class T>
PropertySetter Int(void (T::*method)(int32_t))
{
    return { PropertyType::Int32, [method](Object& o, const PropertyValue& v) { (As<T>(o).*method)(std::get<int32_t>(v)); } };
}

template <class T>
PropertySetter Bool(void (T::*method)(bool))
{
    return { PropertyType::Boolean, [method](Object& o, const PropertyValue& v) { (As<T>(o).*method)(std::get<bool>(v)); } };
}

template <class T>
PropertySetter Colour(void (T::*method)(Color))
{
    return { PropertyType::Color, [method](Object& o, const PropertyValue& v) { (As<T>(o).*method)(std::get<Color>(v)); } };
}

template <class T>
PropertySetter Text(void (T::*method)(const std::string&))
{
    return { PropertyType::Text, [method](Object& o, const PropertyValue& v) { (As<T>(o).*method)(std::get<std::string>(v)); } };
}

// Accepted and stored, without effect on this platform.
void Inert(Table& table, PropertyType type, std::initializer_list<const char*> names)
{
    for (const char* name : names)
        table[name] = PropertySetter { type, {} };
}

template <class T>
void TextStyle(Table& table)
{
    table["TextFont"] = Text<T>(&T::SetTextFont);
    table["TextSize"] = { PropertyType::Int32, [](Object& o, const PropertyValue& v) { As<T>(o).SetFontSize(std::get<int32_t>(v)); } };
    table["TextUnit"] = { PropertyType::Int32, [](Object& o, const PropertyValue& v) { As<T>(o).SetTextUnitValue(std::get<int32_t>(v)); } };
    table["Bold"] = Bool<T>(&T::SetBold);
    table["Italic"] = Bool<T>(&T::SetItalic);
    table["Underline"] = Bool<T>(&T::SetUnderline);
}

void DataBinding(Table& table)
{
    Inert(table, PropertyType::Text, { "DataSource", "DataField" });
}

template <class T>
std::function<std::shared_ptr<Object>()> Factory()
{
    return [] { return std::make_shared<T>(); };
}

void RegisterControls()
{
    {
        Table t;
        t["Name"] = Text<Control>(&Control::SetName);
        t["Index"] = Int<Control>(&Control::SetIndex);
        RegisterClass({ "Control", "", {}, t });
    }
    {
        Table t;
        t["Left"] = Int<RectControl>(&RectControl::SetLeft);
        t["Top"] = Int<RectControl>(&RectControl::SetTop);
        t["Width"] = Int<RectControl>(&RectControl::SetWidth);
        t["Height"] = Int<RectControl>(&RectControl::SetHeight);
        t["InitialParent"] = Text<RectControl>(&RectControl::SetInitialParent);
        t["TabIndex"] = Int<RectControl>(&RectControl::SetTabIndex);
        t["Visible"] = Bool<RectControl>(&RectControl::SetVisible);
        t["Enabled"] = Bool<RectControl>(&RectControl::SetEnabled);
        Inert(t, PropertyType::Boolean, { "TabStop", "AutoDeactivate", "LockLeft", "LockTop", "LockRight", "LockBottom" });
        Inert(t, PropertyType::Int32, { "TabPanelIndex" });
        Inert(t, PropertyType::Text, { "HelpTag" });
        RegisterClass({ "RectControl", "Control", {}, t });
    }
    {
        Table t;
        Inert(t, PropertyType::Boolean, { "Transparent", "AcceptFocus", "AcceptTabs", "UseFocusRing", "DoubleBuffer", "EraseBackground" });
        RegisterClass({ "Canvas", "RectControl", Factory<Canvas>(), t });
    }
    {
        Table t;
        TextStyle<PushButton>(t);
        t["Caption"] = Text<PushButton>(&PushButton::SetCaption);
        t["Default"] = Bool<PushButton>(&PushButton::SetDefault);
        t["Cancel"] = Bool<PushButton>(&PushButton::SetCancel);
        t["ButtonStyle"] = Int<PushButton>(&PushButton::SetButtonStyle);
        RegisterClass({ "PushButton", "RectControl", Factory<PushButton>(), t });
    }
    {
        Table t;
        TextStyle<CheckBox>(t);
        DataBinding(t);
        t["Caption"] = Text<CheckBox>(&CheckBox::SetCaption);
        t["Value"] = Bool<CheckBox>(&CheckBox::SetValue);
        t["State"] = Int<CheckBox>(&CheckBox::SetState);
        RegisterClass({ "CheckBox", "RectControl", Factory<CheckBox>(), t });
    }
    {
        Table t;
        TextStyle<Label>(t);
        DataBinding(t);
        t["Text"] = Text<Label>(&Label::SetText);
        t["TextColor"] = Colour<Label>(&Label::SetTextColor);
        t["TextAlign"] = Int<Label>(&Label::SetTextAlign);
        t["Multiline"] = Bool<Label>(&Label::SetMultiline);
        Inert(t, PropertyType::Boolean, { "Selectable", "Transparent" });
        RegisterClass({ "Label", "RectControl", Factory<Label>(), t });
    }
    {
        Table t;
        TextStyle<Listbox>(t);
        DataBinding(t);
        t["ColumnCount"] = Int<Listbox>(&Listbox::SetColumnCount);
        t["InitialValue"] = Text<Listbox>(&Listbox::SetInitialValue);
        Inert(t, PropertyType::Text, { "ColumnWidths" });
        Inert(t, PropertyType::Int32, { "HeadingIndex", "GridLinesHorizontal", "GridLinesVertical", "DefaultRowHeight",
                                          "_ScrollWidth", "_ScrollOffset", "SelectionType" });
        Inert(t, PropertyType::Boolean, { "HasHeading", "Border", "ScrollBarVertical", "ScrollbarHorizontal",
                                            "AutoHideScrollbars", "RequiresSelection", "Hierarchical", "EnableDrag",
                                            "EnableDragReorder", "ColumnsResizable", "UseFocusRing" });
        RegisterClass({ "Listbox", "RectControl", Factory<Listbox>(), t });
    }
    {
        Table t;
        TextStyle<TextArea>(t);
        DataBinding(t);
        t["Text"] = Text<TextArea>(&TextArea::SetText);
        t["Border"] = Bool<TextArea>(&TextArea::SetBorder);
        t["Multiline"] = Bool<TextArea>(&TextArea::SetMultiline);
        t["ScrollbarVertical"] = Bool<TextArea>(&TextArea::SetScrollbarVertical);
        t["ScrollbarHorizontal"] = Bool<TextArea>(&TextArea::SetScrollbarHorizontal);
        t["Styled"] = Bool<TextArea>(&TextArea::SetStyled);
        t["ReadOnly"] = Bool<TextArea>(&TextArea::SetReadOnly);
        t["HideSelection"] = Bool<TextArea>(&TextArea::SetHideSelection);
        t["AcceptTabs"] = Bool<TextArea>(&TextArea::SetAcceptTabs);
        t["TextColor"] = Colour<TextArea>(&TextArea::SetTextColor);
        t["BackColor"] = Colour<TextArea>(&TextArea::SetBackColor);
        t["Alignment"] = Int<TextArea>(&TextArea::SetAlignment);
        t["LimitText"] = Int<TextArea>(&TextArea::SetLimitText);
        Inert(t, PropertyType::Boolean, { "UseFocusRing", "AutomaticallyCheckSpelling" });
        Inert(t, PropertyType::Text, { "Format", "Mask" });
        RegisterClass({ "TextArea", "RectControl", Factory<TextArea>(), t });
    }
    {
        Table t;
        t["Value"] = Int<ProgressBar>(&ProgressBar::SetValue);
        t["Maximum"] = Int<ProgressBar>(&ProgressBar::SetMaximum);
        RegisterClass({ "ProgressBar", "RectControl", Factory<ProgressBar>(), t });
    }
    {
        Table t;
        t["FillColor"] = Colour<Rectangle>(&Rectangle::SetFillColor);
        t["BorderWidth"] = Int<Rectangle>(&Rectangle::SetBorderWidth);
        t["TopLeftColor"] = Colour<Rectangle>(&Rectangle::SetTopLeftColor);
        t["BottomRightColor"] = Colour<Rectangle>(&Rectangle::SetBottomRightColor);
        RegisterClass({ "Rectangle", "RectControl", Factory<Rectangle>(), t });
    }
    {
        Table t;
        t["Mode"] = Int<Timer>(&Timer::SetMode);
        t["Period"] = Int<Timer>(&Timer::SetPeriod);
        RegisterClass({ "Timer", "Control", Factory<Timer>(), t });
    }
}

void RegisterWindow()
{
    Table t;
    t["Placement"] = Int<Window>(&Window::SetPlacement);
    t["Width"] = Int<Window>(&Window::SetWidth);
    t["Height"] = Int<Window>(&Window::SetHeight);
    t["Frame"] = Int<Window>(&Window::SetFrame);
    t["HasBackColor"] = Bool<Window>(&Window::SetHasBackColor);
    t["BackColor"] = Colour<Window>(&Window::SetBackColor);
    t["Title"] = Text<Window>(&Window::SetTitle);
    t["Visible"] = Bool<Window>(&Window::SetVisible);
    t["MenuBarVisible"] = Bool<Window>(&Window::SetMenuBarVisible);
    t["CloseButton"] = Bool<Window>(&Window::SetCloseButton);
    t["Resizeable"] = Bool<Window>(&Window::SetResizeable);
    t["MaximizeButton"] = Bool<Window>(&Window::SetMaximizeButton);
    t["MinimizeButton"] = Bool<Window>(&Window::SetMinimizeButton);
    // The window's content has a fixed size (no window here can be resized),
    // so the size limits have nothing to act on; full screen is not offered.
    Inert(t, PropertyType::Int32, { "MinWidth", "MinHeight", "MaxWidth", "MaxHeight", "MacProcID" });
    Inert(t, PropertyType::Boolean, { "Composite", "FullScreen", "LiveResize", "FullScreenButton" });
    RegisterClass({ "Window", "", Factory<Window>(), t });
    RegisterClass({ "Application", "", {}, {} });
}

} // namespace

void RegisterFrameworkClasses()
{
    static bool registered = false;
    if (registered)
        return;
    registered = true;
    RegisterControls();
    RegisterWindow();
}

} // namespace fw
