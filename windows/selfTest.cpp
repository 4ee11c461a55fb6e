#include "windows/selfTest.h"

#include "platform/Application.h"
#include "platform/PropertyList.h"
#include "windows/updateWindow.h"

namespace {

// The properties the three controls share.
fw::PropertyList& CommonControlProperties(fw::PropertyList& list)
{
    return list.Bool("LockLeft", true)
        .Bool("LockTop", true)
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
}

fw::PropertyList LabelProperties(int32_t left, int32_t top, int32_t width, int32_t height,
    int32_t tabIndex, const char* text, int32_t align)
{
    fw::PropertyList list;
    list.Int("Left", left).Int("Top", top).Int("Width", width).Int("Height", height).Int("TabIndex", tabIndex);
    CommonControlProperties(list);
    list.Text("Text", text)
        .Text("TextFont", "System")
        .Bool("Bold", true)
        .Int("TextAlign", align)
        .Colour("TextColor", fw::RGB(0, 0, 0))
        .Bool("Multiline", false)
        .Bool("Selectable", false)
        .Bool("Transparent", false)
        .Text("DataSource", "")
        .Text("DataField", "");
    return list;
}

} // namespace

std::shared_ptr<selfTest> selfTestInstance()
{
    return fw::ImplicitInstance<selfTest>(selfTest::FullClassName);
}

void selfTest::Layout()
{
    fw::PropertyList list;
    list.Int("Placement", 0)
        .Int("Width", 212)
        .Int("Height", 102)
        .Int("MinWidth", 64)
        .Int("MinHeight", 64)
        .Int("MaxWidth", 32000)
        .Int("MaxHeight", 32000)
        .Int("Frame", 0)
        .Bool("Composite", false)
        .Bool("HasBackColor", false)
        .Colour("BackColor", fw::RGB(255, 255, 255))
        .Text("Title", "Self Test")
        .Bool("Visible", true)
        .Bool("FullScreen", false)
        .Bool("MenuBarVisible", true)
        .Bool("CloseButton", true)
        .Bool("Resizeable", false)
        .Bool("LiveResize", false)
        .Bool("MaximizeButton", false)
        .Bool("MinimizeButton", false)
        .Bool("FullScreenButton", false)
        .Int("MacProcID", 0);
    fw::RuntimeMassPropertySetter(*this, list);
}

void selfTest::CreateControls()
{
    CreateControls0();
}

void selfTest::CreateControls0()
{
    auto versionCaption = New<fw::Label>();
    versionCaption->Constructor();
    AddControl(versionCaption, "StaticText1");
    versionCaption->SetTextUnit(0);
    fw::RuntimeMassPropertySetter(*versionCaption, LabelProperties(43, 20, 61, 20, 0, "Version:", 0));

    // The design text stands until the label's Open event writes the running
    // version over it.
    auto version = New<fw::Label>();
    version->Constructor();
    AddControl(version, "StaticText2");
    version->SetTextUnit(0);
    fw::RuntimeMassPropertySetter(*version, LabelProperties(102, 20, 69, 20, 1, "1.3.0 Intel", 2));
    version->OnOpen = Bind(&selfTest::StaticText2_Open);

    auto check = New<fw::PushButton>();
    check->Constructor();
    AddControl(check, "PushButton1");
    check->SetTextUnit(0);
    fw::PropertyList buttonList;
    buttonList.Int("Left", 28).Int("Top", 61).Int("Width", 157).Int("Height", 21).Int("TabIndex", 2);
    CommonControlProperties(buttonList);
    buttonList.Text("Caption", "Check for Updates")
        .Text("TextFont", "System")
        .Bool("Bold", true)
        .Bool("Default", true)
        .Bool("Cancel", false)
        .Int("ButtonStyle", 0);
    fw::RuntimeMassPropertySetter(*check, buttonList);
    check->OnAction = Bind(&selfTest::PushButton1_Action);
}

std::shared_ptr<fw::Label> selfTest::StaticText1() const
{
    return ControlAs<fw::Label>("StaticText1");
}

std::shared_ptr<fw::Label> selfTest::StaticText2() const
{
    return ControlAs<fw::Label>("StaticText2");
}

std::shared_ptr<fw::PushButton> selfTest::PushButton1() const
{
    return ControlAs<fw::PushButton>("PushButton1");
}

void selfTest::StaticText2_Open(fw::Control& sender)
{
    // The sender is the version label; the text is the framework's version as
    // it stands, with nothing added.
    fw::RuntimeCheckCast<fw::Label>(sender.shared_from_this())->SetText(fw::getAppObject()->LongVersion());
}

void selfTest::PushButton1_Action(fw::PushButton&)
{
    // The update window must exist and be in front before this window goes.
    updateWindowInstance()->Show();
    selfTestInstance()->Close();
}
