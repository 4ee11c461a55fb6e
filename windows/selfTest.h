#pragma once

#include <memory>

#include "platform/Label.h"
#include "platform/PushButton.h"
#include "platform/Window.h"

// The small version window: the running version and one button that starts
// the update check in the update window and closes this one.
class selfTest : public fw::Window {
public:
    static constexpr const char* FullClassName = "selfTest.selfTest";
    std::string ClassName() const override { return FullClassName; }

    // Control accessors; nil when the control is missing.
    std::shared_ptr<fw::Label> StaticText1() const;
    std::shared_ptr<fw::Label> StaticText2() const;
    std::shared_ptr<fw::PushButton> PushButton1() const;

    // Control event handlers.
    void StaticText2_Open(fw::Control& sender);
    void PushButton1_Action(fw::PushButton& sender);

protected:
    void Layout() override;
    void CreateControls() override { CreateControls0(); }
    void CreateControls0();
};

// The version window, created when none is open.
inline std::shared_ptr<selfTest> selfTestInstance() { return fw::ImplicitInstance<selfTest>(selfTest::FullClassName); }
