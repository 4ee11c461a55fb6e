#pragma once

#include <memory>

#include "platform/Label.h"
#include "platform/PushButton.h"
#include "platform/Window.h"

// The about box: product name, running version, credits, and three buttons
// that hand the maker's links to the desktop.
class AboutBox : public fw::Window {
public:
    static constexpr const char* FullClassName = "AboutBox.AboutBox";
    std::string ClassName() const override { return FullClassName; }

    // Control accessors; nil when the control is missing.
    std::shared_ptr<fw::PushButton> PushButton1() const;
    std::shared_ptr<fw::PushButton> PushButton2() const;
    std::shared_ptr<fw::Label> StaticText2() const;
    std::shared_ptr<fw::Label> StaticText1() const;
    std::shared_ptr<fw::Label> StaticText3() const;
    std::shared_ptr<fw::Label> StaticText4() const;
    std::shared_ptr<fw::PushButton> Kagi() const;

    // Control event handlers.
    void PushButton1_Action(fw::PushButton& sender);
    void PushButton2_Action(fw::PushButton& sender);
    void StaticText4_Open(fw::Control& sender);
    void Kagi_Action(fw::PushButton& sender);

protected:
    void Layout() override;
    void CreateControls() override { CreateControls0(); }
    void CreateControls0();
};

// The about box, created when none is open.
inline std::shared_ptr<AboutBox> AboutBoxInstance() { return fw::ImplicitInstance<AboutBox>(AboutBox::FullClassName); }
