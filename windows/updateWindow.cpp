#include "windows/updateWindow.h"

#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "platform/PropertyList.h"
#include "platform/Strings.h"
#include "platform/System.h"
#include "puzzle/Window1.h"
#include "windows/Links.h"
#include "windows/UpdateDocument.h"
#include "windows/selfTest.h"

namespace {

// The properties the three visible controls share.
fw::PropertyList& CommonControlProperties(fw::PropertyList& list)
{
    return list.Bool("Enabled", true)
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
}

} // namespace

std::shared_ptr<updateWindow> updateWindowInstance()
{
    return fw::ImplicitInstance<updateWindow>(updateWindow::FullClassName);
}

void updateWindow::Layout()
{
    fw::PropertyList list;
    list.Int("Placement", 0)
        .Int("Width", 300)
        .Int("Height", 120)
        .Int("MinWidth", 64)
        .Int("MinHeight", 64)
        .Int("MaxWidth", 32000)
        .Int("MaxHeight", 32000)
        .Int("Frame", 1)
        .Bool("Composite", false)
        .Bool("HasBackColor", false)
        .Colour("BackColor", fw::RGB(255, 255, 255))
        .Text("Title", "Update")
        .Bool("Visible", true)
        .Bool("FullScreen", false)
        .Bool("MenuBarVisible", true)
        .Bool("CloseButton", true)
        .Bool("Resizeable", false)
        .Bool("LiveResize", false)
        .Bool("MaximizeButton", false)
        .Bool("MinimizeButton", true)
        .Bool("FullScreenButton", false)
        .Int("MacProcID", 0);
    fw::RuntimeMassPropertySetter(*this, list);
}

void updateWindow::CreateControls()
{
    CreateControls0();
}

void updateWindow::CreateControls0()
{
    auto status = New<fw::Label>();
    status->Constructor();
    AddControl(status, "StaticText1");
    status->SetTextSize(12);
    status->SetTextUnit(0);
    fw::PropertyList statusList;
    statusList.Int("Left", 20).Int("Top", 19).Int("Width", 266).Int("Height", 20).Int("TabIndex", 0);
    CommonControlProperties(statusList);
    statusList.Text("Text", "Checking for update...")
        .Text("TextFont", "Arial")
        .Int("TextAlign", 0)
        .Colour("TextColor", fw::RGB(0, 0, 0))
        .Bool("Bold", false)
        .Bool("Italic", false)
        .Bool("Underline", false)
        .Bool("Multiline", false)
        .Bool("Selectable", false)
        .Bool("Transparent", false);
    fw::RuntimeMassPropertySetter(*status, statusList);

    auto bar = New<fw::ProgressBar>();
    bar->Constructor();
    AddControl(bar, "ProgressBar1");
    fw::PropertyList barList;
    barList.Int("Left", 20).Int("Top", 46).Int("Width", 260).Int("Height", 12).Int("TabIndex", 1);
    CommonControlProperties(barList);
    barList.Int("Value", 0).Int("Maximum", 100);
    fw::RuntimeMassPropertySetter(*bar, barList);

    auto socket = New<fw::HTTPSocket>();
    socket->Constructor();
    AddControl(socket, "hp");
    fw::PropertyList socketList;
    socketList.Text("httpProxyAddress", "").Int("httpProxyPort", 0).Text("Address", "").Int("Port", 0).Bool("yield", false);
    fw::RuntimeMassPropertySetter(*socket, socketList);
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

    auto cancel = New<fw::PushButton>();
    cancel->Constructor();
    AddControl(cancel, "PushButton1");
    cancel->SetTextUnit(0);
    fw::PropertyList cancelList;
    cancelList.Int("Left", 208).Int("Top", 80).Int("Width", 72).Int("Height", 20).Int("TabIndex", 3);
    CommonControlProperties(cancelList);
    cancelList.Text("Caption", "Cancel")
        .Text("TextFont", "System")
        .Bool("Bold", false)
        .Bool("Italic", false)
        .Bool("Underline", false)
        .Bool("Default", true)
        .Bool("Cancel", true)
        .Int("ButtonStyle", 0);
    fw::RuntimeMassPropertySetter(*cancel, cancelList);
    cancel->OnAction = Bind(&updateWindow::PushButton1_Action);
}

std::shared_ptr<fw::Label> updateWindow::StaticText1() const
{
    return ControlAs<fw::Label>("StaticText1");
}

std::shared_ptr<fw::ProgressBar> updateWindow::ProgressBar1() const
{
    return ControlAs<fw::ProgressBar>("ProgressBar1");
}

std::shared_ptr<fw::HTTPSocket> updateWindow::hp() const
{
    return ControlAs<fw::HTTPSocket>("hp");
}

std::shared_ptr<fw::PushButton> updateWindow::PushButton1() const
{
    return ControlAs<fw::PushButton>("PushButton1");
}

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
