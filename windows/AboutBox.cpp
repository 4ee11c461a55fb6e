#include "windows/AboutBox.h"

#include "platform/Application.h"
#include "platform/PropertyList.h"
#include "platform/System.h"
#include "windows/Links.h"

namespace {

struct Frame {
    int32_t Left;
    int32_t Top;
    int32_t Width;
    int32_t Height;
    int32_t TabIndex;
};

fw::PropertyList CommonControlProperties(const Frame& frame, bool lockLeftTop)
{
    fw::PropertyList list;
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

fw::PropertyList LabelProperties(const Frame& frame, const std::string& text, const char* font, bool bold,
    int32_t align, bool multiline)
{
    auto list = CommonControlProperties(frame, true);
    list.Text("Text", text)
        .Text("TextFont", font)
        .Bool("Bold", bold)
        .Int("TextAlign", align)
        .Bool("Multiline", multiline)
        .Colour("TextColor", fw::RGB(0, 0, 0))
        .Bool("Selectable", false)
        .Bool("Transparent", false)
        .Text("DataSource", "")
        .Text("DataField", "");
    return list;
}

fw::PropertyList ButtonProperties(const Frame& frame, const char* caption, bool lockLeftTop)
{
    auto list = CommonControlProperties(frame, lockLeftTop);
    list.Text("Caption", caption)
        .Text("TextFont", "System")
        .Bool("Bold", true)
        .Bool("Default", false)
        .Bool("Cancel", false)
        .Int("ButtonStyle", 0);
    return list;
}

} // namespace

std::shared_ptr<AboutBox> AboutBoxInstance()
{
    return fw::ImplicitInstance<AboutBox>(AboutBox::FullClassName);
}

void AboutBox::Layout()
{
    fw::PropertyList list;
    list.Int("Placement", 0)
        .Int("Width", 264)
        .Int("Height", 296)
        .Int("MinWidth", 64)
        .Int("MinHeight", 64)
        .Int("MaxWidth", 32000)
        .Int("MaxHeight", 32000)
        .Int("Frame", 0)
        .Bool("Composite", false)
        .Bool("HasBackColor", false)
        .Colour("BackColor", fw::RGB(255, 255, 255))
        .Text("Title", "About...")
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

void AboutBox::CreateControls()
{
    CreateControls0();
}

void AboutBox::CreateControls0()
{
    // Each control gets its text size and unit before its property list, and
    // its handler only after it, so the laid-out values raise nothing.
    auto mail = New<fw::PushButton>();
    mail->Constructor();
    AddControl(mail, "PushButton1");
    mail->SetTextUnit(0);
    fw::RuntimeMassPropertySetter(*mail, ButtonProperties({ 72, 180, 120, 21, 0 }, "Email Author", true));
    mail->OnAction = Bind(&AboutBox::PushButton1_Action);

    auto site = New<fw::PushButton>();
    site->Constructor();
    AddControl(site, "PushButton2");
    site->SetTextUnit(0);
    fw::RuntimeMassPropertySetter(*site, ButtonProperties({ 72, 217, 120, 21, 1 }, "Visit Web Site", true));
    site->OnAction = Bind(&AboutBox::PushButton2_Action);

    const std::string cr = "\r";
    auto credits = New<fw::Label>();
    credits->Constructor();
    AddControl(credits, "StaticText2");
    credits->SetTextUnit(0);
    fw::RuntimeMassPropertySetter(*credits,
        LabelProperties({ 80, 86, 104, 87, 2 },
            "Developed by" + cr + "Korvast" + cr + cr + "Sr. Beta Tester" + cr + "Pellwin", "System", false, 1, true));

    auto product = New<fw::Label>();
    product->Constructor();
    AddControl(product, "StaticText1");
    product->SetTextSize(30);
    product->SetTextUnit(0);
    fw::RuntimeMassPropertySetter(*product, LabelProperties({ 20, 20, 224, 45, 3 }, "Tavrine", "Arial", true, 1, false));

    auto versionCaption = New<fw::Label>();
    versionCaption->Constructor();
    AddControl(versionCaption, "StaticText3");
    versionCaption->SetTextSize(12);
    versionCaption->SetTextUnit(0);
    fw::RuntimeMassPropertySetter(*versionCaption,
        LabelProperties({ 72, 60, 56, 20, 4 }, "Version:", "Arial", true, 0, false));

    auto version = New<fw::Label>();
    version->Constructor();
    AddControl(version, "StaticText4");
    version->SetTextSize(12);
    version->SetTextUnit(0);
    fw::RuntimeMassPropertySetter(*version, LabelProperties({ 130, 60, 62, 20, 5 }, "1.0.0 UB", "Arial", true, 2, false));
    version->OnOpen = Bind(&AboutBox::StaticText4_Open);

    auto order = New<fw::PushButton>();
    order->Constructor();
    AddControl(order, "Kagi");
    order->SetTextUnit(0);
    fw::RuntimeMassPropertySetter(*order, ButtonProperties({ 67, 256, 130, 20, 6 }, "Support Halvory", false));
    order->OnAction = Bind(&AboutBox::Kagi_Action);
}

std::shared_ptr<fw::PushButton> AboutBox::PushButton1() const
{
    return ControlAs<fw::PushButton>("PushButton1");
}

std::shared_ptr<fw::PushButton> AboutBox::PushButton2() const
{
    return ControlAs<fw::PushButton>("PushButton2");
}

std::shared_ptr<fw::Label> AboutBox::StaticText2() const
{
    return ControlAs<fw::Label>("StaticText2");
}

std::shared_ptr<fw::Label> AboutBox::StaticText1() const
{
    return ControlAs<fw::Label>("StaticText1");
}

std::shared_ptr<fw::Label> AboutBox::StaticText3() const
{
    return ControlAs<fw::Label>("StaticText3");
}

std::shared_ptr<fw::Label> AboutBox::StaticText4() const
{
    return ControlAs<fw::Label>("StaticText4");
}

std::shared_ptr<fw::PushButton> AboutBox::Kagi() const
{
    return ControlAs<fw::PushButton>("Kagi");
}

void AboutBox::PushButton1_Action(fw::PushButton&)
{
    fw::ShowURL(Links::AuthorMailURL());
}

void AboutBox::PushButton2_Action(fw::PushButton&)
{
    fw::ShowURL(Links::WebSiteURL());
}

void AboutBox::StaticText4_Open(fw::Control& sender)
{
    fw::RuntimeCheckCast<fw::Label>(sender.shared_from_this())->SetText(fw::getAppObject()->LongVersion());
}

void AboutBox::Kagi_Action(fw::PushButton&)
{
    fw::ShowURL(Links::OrderURL());
}
