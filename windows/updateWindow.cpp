#include "windows/updateWindow.h"

#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "platform/PropertyPresets.h"
#include "platform/Strings.h"
#include "platform/System.h"
#include "puzzle/Window1.h"
#include "windows/Links.h"
#include "windows/UpdateCheck.h"
#include "windows/UpdateDocument.h"
#include "windows/selfTest.h"

namespace {

// The properties the three visible controls share, after their frame.
fw::PropertyList CommonControlProperties(const fw::ControlFrame& frame)
{
    fw::PropertyList list;
    list.Int("Left", frame.Left).Int("Top", frame.Top).Int("Width", frame.Width).Int("Height", frame.Height)
        .Int("TabIndex", frame.TabIndex);
    list.Bool("Enabled", true)
        .Bool("Visible", true)
        .Bool("LockLeft", true)
        .Bool("LockTop", true)
        .Bool("LockRight", false)
        .Bool("LockBottom", false)
        .Int("TabPanelIndex", 0)
        .Bool("TabStop", true)
        .Bool("AutoDeactivate", true)
        .Text("HelpTag", "")
        .Text("InitialParent", "");
    return list;
}

fw::PropertyList StatusProperties()
{
    auto list = CommonControlProperties({ 20, 19, 266, 20, 0 });
    list.Text("Text", "Checking for update...")
        .Text("TextFont", "Arial")
        .Int("TextAlign", 0)
        .Colour("TextColor", fw::RGB(0, 0, 0))
        .Bool("Bold", false)
        .Bool("Italic", false)
        .Bool("Underline", false)
        .Bool("Multiline", false)
        .Bool("Selectable", false)
        .Bool("Transparent", false);
    return list;
}

fw::PropertyList BarProperties()
{
    auto list = CommonControlProperties({ 20, 46, 260, 12, 1 });
    list.Int("Value", 0).Int("Maximum", 100);
    return list;
}

fw::PropertyList SocketProperties()
{
    fw::PropertyList list;
    list.Text("httpProxyAddress", "").Int("httpProxyPort", 0).Text("Address", "").Int("Port", 0).Bool("yield", false);
    return list;
}

fw::PropertyList CancelProperties()
{
    auto list = CommonControlProperties({ 208, 80, 72, 20, 3 });
    list.Text("Caption", "Cancel")
        .Text("TextFont", "System")
        .Bool("Bold", false)
        .Bool("Italic", false)
        .Bool("Underline", false)
        .Bool("Default", true)
        .Bool("Cancel", true)
        .Int("ButtonStyle", 0);
    return list;
}

} // namespace

void StartUpdateCheck()
{
    updateWindowInstance()->Show();
}

void updateWindow::Layout()
{
    fw::RuntimeMassPropertySetter(*this, fw::WindowProperties("Update", 300, 120, 1, true));
}

void updateWindow::CreateControls0()
{
    Place<fw::Label>("StaticText1", fw::TextSize { 12 }, StatusProperties());
    Place<fw::ProgressBar>("ProgressBar1", BarProperties());
    auto socket = Place<fw::HTTPSocket>("hp", SocketProperties());
    // The socket's events carry more than the sender, so they are bound here
    // through a weak reference, as Window::Bind does for one argument.
    std::weak_ptr<updateWindow> weak = std::static_pointer_cast<updateWindow>(shared_from_this());
    socket->OnPageReceived = [weak](fw::HTTPSocket& sender, const std::string& url, int32_t httpStatus,
                                 const std::shared_ptr<fw::InternetHeaders>& headers, const std::string& content) {
        if (auto self = weak.lock())
            self->hp_PageReceived(sender, url, httpStatus, headers, content);
    };
    socket->OnError = [weak](fw::HTTPSocket& sender, int32_t code) {
        if (auto self = weak.lock())
            self->hp_Error(sender, code);
    };
    Place<fw::PushButton>("PushButton1", CancelProperties(), &updateWindow::PushButton1_Action);
}

std::shared_ptr<fw::Label> updateWindow::StaticText1() const { return ControlAs<fw::Label>("StaticText1"); }
std::shared_ptr<fw::ProgressBar> updateWindow::ProgressBar1() const { return ControlAs<fw::ProgressBar>("ProgressBar1"); }
std::shared_ptr<fw::HTTPSocket> updateWindow::hp() const { return ControlAs<fw::HTTPSocket>("hp"); }
std::shared_ptr<fw::PushButton> updateWindow::PushButton1() const { return ControlAs<fw::PushButton>("PushButton1"); }

void updateWindow::Event_Open()
{
    fw::Deref(ProgressBar1()).SetMaximum(0);
    fw::Deref(hp()).Get(Links::UpdateURL());
    Window1Instance()->SetFocus();
}

void updateWindow::hp_PageReceived(fw::HTTPSocket&, const std::string&, int32_t,
    const std::shared_ptr<fw::InternetHeaders>&, const std::string& content)
{
    if (content.empty()) {
        Close();
        return;
    }
    std::string version = returnValue(content, "CurrentVersion");
    std::string description = returnValue(content, "Description");
    bool free = fw::StrEq(returnValue(content, "Free"), "Yes");
    std::string downloadURL = returnValue(content, "DownloadURLOSX");

    fw::Deref(ProgressBar1()).SetVisible(false);

    auto app = fw::getAppObject();
    if (UpdateDocument::SameVersion(version, app->MajorVersion(), app->MinorVersion(), app->BugVersion())) {
        auto status = StaticText1();
        fw::Deref(status).SetText("This version is current.");
        status->Refresh(true);
        if (!automaticCheck())
            fw::MsgBox("You are using the current version. No update is available.");
        Close();
        selfTestInstance()->Close();
    } else {
        askUpgrade(version, description, downloadURL, free);
    }
}

void updateWindow::hp_Error(fw::HTTPSocket&, int32_t code)
{
    fw::Beep();
    fw::MsgBox(std::string("There was a communication error ") + "with the website. Please try "
        + "again later. (Code: " + fw::Str(int64_t(code)) + ")");
    updateWindowInstance()->Close();
    selfTestInstance()->Close();
    Window1Instance()->SetFocus();
}

void updateWindow::PushButton1_Action(fw::PushButton&)
{
    Close();
}

std::string updateWindow::startTag(const std::string& name) const
{
    return UpdateDocument::startTag(name);
}

std::string updateWindow::endTag(const std::string& name) const
{
    return UpdateDocument::endTag(name);
}

std::string updateWindow::returnValue(const std::string& data, const std::string& name) const
{
    return UpdateDocument::returnValue(data, name);
}

void updateWindow::askUpgrade(const std::string& version, const std::string& description, const std::string& downloadURL, bool free)
{
    auto dialog = std::make_shared<fw::MessageDialog>();
    dialog->Title = "New version available!";
    dialog->Message = UpdateDocument::OfferMessage(version, fw::getAppObject()->ShortVersion(), free);
    dialog->Explanation = description;
    fw::Deref(dialog->CancelButton).Visible = true;
    fw::Deref(dialog->AlternateActionButton).Caption = "Go to Website";
    dialog->AlternateActionButton->Visible = true;
    dialog->Icon = 3;

    auto pressed = dialog->ShowModal();
    if (pressed && pressed == dialog->CancelButton) {
        Close();
    } else if (pressed && pressed == dialog->ActionButton) {
        // The address comes from a page fetched over plain HTTP, so anyone on
        // the way could put a file: or another local handler's address there.
        // Only a web address goes to the browser, tested as ShowURL tests it,
        // so what is chosen here is opened; anything else leads to the
        // maker's site instead.
        fw::ShowURL(fw::IsWebURL(downloadURL) ? downloadURL : Links::WebSiteURL());
        Close();
    } else if (pressed && pressed == dialog->AlternateActionButton) {
        fw::ShowURL(Links::WebSiteURL());
    }
}
