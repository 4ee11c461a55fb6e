#include "windows/AboutBox.h"

#include "platform/Application.h"
#include "platform/PropertyPresets.h"
#include "platform/System.h"
#include "windows/Links.h"

namespace {

using fw::ButtonProperties;
using fw::ControlFrame;

fw::PropertyList LabelProperties(const ControlFrame& frame, const std::string& text, const char* font, bool bold,
    int32_t align, bool multiline)
{
    auto list = fw::LabelProperties(frame, text, font, bold, align);
    list.Bool("Multiline", multiline).Colour("TextColor", fw::RGB(0, 0, 0));
    return fw::EndLabelProperties(list);
}

} // namespace

void AboutBox::Layout()
{
    fw::RuntimeMassPropertySetter(*this, fw::WindowProperties("About...", 264, 296, 0, false));
}

void AboutBox::CreateControls0()
{
    Place<fw::PushButton>("PushButton1", ButtonProperties({ 72, 180, 120, 21, 0 }, "Email Author", true, false),
        &AboutBox::PushButton1_Action);
    Place<fw::PushButton>("PushButton2", ButtonProperties({ 72, 217, 120, 21, 1 }, "Visit Web Site", true, false),
        &AboutBox::PushButton2_Action);
    const std::string cr = "\r";
    Place<fw::Label>("StaticText2",
        LabelProperties({ 80, 86, 104, 87, 2 },
            "Developed by" + cr + "Korvast" + cr + cr + "Sr. Beta Tester" + cr + "Pellwin", "System", false, 1, true));
    Place<fw::Label>("StaticText1", fw::TextSize { 30 },
        LabelProperties({ 20, 20, 224, 45, 3 }, "Tavrine", "Arial", true, 1, false));
    Place<fw::Label>("StaticText3", fw::TextSize { 12 },
        LabelProperties({ 72, 60, 56, 20, 4 }, "Version:", "Arial", true, 0, false));
    Place<fw::Label>("StaticText4", fw::TextSize { 12 },
        LabelProperties({ 130, 60, 62, 20, 5 }, "1.0.0 UB", "Arial", true, 2, false), &AboutBox::StaticText4_Open);
    Place<fw::PushButton>("Kagi", ButtonProperties({ 67, 256, 130, 20, 6 }, "Support Halvory", false, false),
        &AboutBox::Kagi_Action);
}

std::shared_ptr<fw::PushButton> AboutBox::PushButton1() const { return ControlAs<fw::PushButton>("PushButton1"); }
std::shared_ptr<fw::PushButton> AboutBox::PushButton2() const { return ControlAs<fw::PushButton>("PushButton2"); }
std::shared_ptr<fw::Label> AboutBox::StaticText2() const { return ControlAs<fw::Label>("StaticText2"); }
std::shared_ptr<fw::Label> AboutBox::StaticText1() const { return ControlAs<fw::Label>("StaticText1"); }
std::shared_ptr<fw::Label> AboutBox::StaticText3() const { return ControlAs<fw::Label>("StaticText3"); }
std::shared_ptr<fw::Label> AboutBox::StaticText4() const { return ControlAs<fw::Label>("StaticText4"); }
std::shared_ptr<fw::PushButton> AboutBox::Kagi() const { return ControlAs<fw::PushButton>("Kagi"); }

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
