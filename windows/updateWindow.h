#pragma once

#include <memory>
#include <string>

#include "platform/HTTPSocket.h"
#include "platform/Label.h"
#include "platform/ProgressBar.h"
#include "platform/PushButton.h"
#include "platform/Window.h"

// The update window: one check for a newer version. Opening it requests the
// update document; the answer either reports that the running version is
// current or leads to the upgrade offer, and a network failure is reported
// with the socket's code.
class updateWindow : public fw::Window {
public:
    static constexpr const char* FullClassName = "updateWindow.updateWindow";
    std::string ClassName() const override { return FullClassName; }

    // While True, a current version closes the window without the message box.
    bool automaticCheck() const { return m_automaticCheck; }
    void SetautomaticCheck(bool value) { m_automaticCheck = value; }

    // Control accessors.
    std::shared_ptr<fw::Label> StaticText1() const;
    std::shared_ptr<fw::ProgressBar> ProgressBar1() const;
    std::shared_ptr<fw::HTTPSocket> hp() const;
    std::shared_ptr<fw::PushButton> PushButton1() const;

    // Control event handlers.
    void hp_PageReceived(fw::HTTPSocket& sender, const std::string& url, int32_t httpStatus,
        const std::shared_ptr<fw::InternetHeaders>& headers, const std::string& content);
    void hp_Error(fw::HTTPSocket& sender, int32_t code);
    void PushButton1_Action(fw::PushButton& sender);

    // Reading the update document and offering the upgrade.
    std::string startTag(const std::string& name) const;
    std::string endTag(const std::string& name) const;
    void askUpgrade(const std::string& version, const std::string& description, const std::string& downloadURL, bool free);
    std::string returnValue(const std::string& data, const std::string& name) const;

protected:
    void Layout() override;
    void CreateControls() override { CreateControls0(); }
    void CreateControls0();
    void Event_Open() override;

private:
    bool m_automaticCheck = false;
};

// The open update window, or a new one, whose opening starts the check.
inline std::shared_ptr<updateWindow> updateWindowInstance() { return fw::ImplicitInstance<updateWindow>(updateWindow::FullClassName); }
