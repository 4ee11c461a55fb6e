#include "windows/selfTest.h"

#include "platform/Application.h"
#include "platform/PropertyPresets.h"
#include "windows/UpdateCheck.h"

namespace {

fw::PropertyList LabelProperties(const fw::ControlFrame& frame, const char* text, int32_t align)
{
    auto list = fw::LabelProperties(frame, text, "System", true, align);
    list.Colour("TextColor", fw::RGB(0, 0, 0)).Bool("Multiline", false);
    return fw::EndLabelProperties(list);
}

} // namespace

void selfTest::Layout()
{
    fw::RuntimeMassPropertySetter(*this, fw::WindowProperties("Self Test", 212, 102, 0, false));
}

void selfTest::CreateControls0()
{
    Place<fw::Label>("StaticText1", LabelProperties({ 43, 20, 61, 20, 0 }, "Version:", 0));
    // The design text stands until the label's Open event writes the running
    // version over it.
    Place<fw::Label>("StaticText2", LabelProperties({ 102, 20, 69, 20, 1 }, "1.3.0 Intel", 2),
        &selfTest::StaticText2_Open);
    Place<fw::PushButton>("PushButton1",
        fw::ButtonProperties({ 28, 61, 157, 21, 2 }, "Check for Updates", true, true), &selfTest::PushButton1_Action);
}

std::shared_ptr<fw::Label> selfTest::StaticText1() const { return ControlAs<fw::Label>("StaticText1"); }
std::shared_ptr<fw::Label> selfTest::StaticText2() const { return ControlAs<fw::Label>("StaticText2"); }
std::shared_ptr<fw::PushButton> selfTest::PushButton1() const { return ControlAs<fw::PushButton>("PushButton1"); }

void selfTest::StaticText2_Open(fw::Control& sender)
{
    // The sender is the version label; the text is the framework's version as
    // it stands, with nothing added.
    fw::RuntimeCheckCast<fw::Label>(sender.shared_from_this())->SetText(fw::getAppObject()->LongVersion());
}

void selfTest::PushButton1_Action(fw::PushButton&)
{
    // The update window must exist and be in front before this window goes.
    StartUpdateCheck();
    selfTestInstance()->Close();
}
