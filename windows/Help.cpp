#include "windows/Help.h"

#include "platform/Dialogs.h"
#include "platform/PropertyList.h"
#include "platform/Strings.h"
#include "windows/HelpMenuBar.h"
#include "windows/HelpPrinting.h"

namespace {

fw::PropertyList HiddenButtonProperties()
{
    fw::PropertyList list;
    list.Int("Left", 438)
        .Int("Top", 360)
        .Int("Width", 10)
        .Int("Height", 16)
        .Int("TabIndex", 1)
        .Bool("LockLeft", false)
        .Bool("LockTop", false)
        .Bool("LockRight", false)
        .Bool("LockBottom", false)
        .Text("Caption", "")
        .Bool("Default", false)
        .Bool("Cancel", false)
        .Bool("Enabled", true)
        .Bool("Visible", true)
        .Bool("TabStop", true)
        .Int("ButtonStyle", 0)
        .Text("TextFont", "System")
        .Bool("Bold", false)
        .Bool("Italic", false)
        .Bool("Underline", false);
    return list;
}

fw::PropertyList TextProperties()
{
    fw::PropertyList list;
    list.Int("Left", 20)
        .Int("Top", 20)
        .Int("Width", 360)
        .Int("Height", 343)
        .Int("TabIndex", 2)
        .Bool("LockLeft", true)
        .Bool("LockTop", true)
        .Bool("LockRight", false)
        .Bool("LockBottom", false)
        .Bool("Border", true)
        .Bool("Multiline", true)
        .Bool("ScrollbarVertical", true)
        .Bool("ScrollbarHorizontal", false)
        .Bool("Styled", true)
        .Bool("ReadOnly", false)
        .Bool("HideSelection", true)
        .Bool("UseFocusRing", true)
        .Colour("TextColor", fw::RGB(0, 0, 0))
        .Colour("BackColor", fw::RGB(255, 255, 255))
        .Text("TextFont", "System")
        .Bool("Bold", false)
        .Bool("Italic", false)
        .Bool("Underline", false)
        .Int("Alignment", 0)
        .Int("LimitText", 0)
        .Bool("AcceptTabs", false)
        .Bool("AutomaticallyCheckSpelling", true)
        .Bool("TabStop", true)
        .Bool("Enabled", true)
        .Bool("Visible", true)
        .Text("Format", "")
        .Text("Mask", "")
        .Text("HelpTag", "")
        .Text("Text", HelpText());
    return list;
}

} // namespace

void Help::Layout()
{
    // The menu bar comes first, so the property list's size is the content
    // area's whatever room the bar takes.
    SetMenuBar(HelpMenuBarInstance());
    fw::PropertyList list;
    list.Text("Title", "Tavrine Help")
        .Int("Width", 400)
        .Int("Height", 383)
        .Int("MinWidth", 64)
        .Int("MinHeight", 64)
        .Int("MaxWidth", 32000)
        .Int("MaxHeight", 32000)
        .Int("Placement", 0)
        .Int("Frame", 0)
        .Bool("Resizeable", false)
        .Bool("LiveResize", false)
        .Bool("CloseButton", true)
        .Bool("MinimizeButton", false)
        .Bool("MaximizeButton", false)
        .Bool("FullScreenButton", false)
        .Bool("FullScreen", false)
        .Bool("Composite", false)
        .Bool("HasBackColor", false)
        .Colour("BackColor", fw::RGB(255, 255, 255))
        .Bool("MenuBarVisible", true)
        .Bool("Visible", true)
        .Int("MacProcID", 0);
    fw::RuntimeMassPropertySetter(*this, list);
}

void Help::CreateControls0()
{
    // A button beyond the right edge: never seen, kept because its Action
    // reports the text area's selection.
    Place<fw::PushButton>("PushButton1", HiddenButtonProperties(), &Help::PushButton1_Action);
    Place<fw::TextArea>("TextArea1", TextProperties(), &Help::TextArea1_Open);
}

void Help::AddMenuHandlers()
{
    // The handlers hold the window weakly: the window owns them.
    std::weak_ptr<Help> weak = fw::RuntimeCheckCast<Help>(shared_from_this());
    auto handler = [weak](bool (Help::*action)()) {
        return [weak, action]() -> bool {
            auto self = weak.lock();
            return self ? ((*self).*action)() : false;
        };
    };
    AddMenuHandler("EditCopy", handler(&Help::EditCopy_Action));
    AddMenuHandler("EditSelectAll", handler(&Help::EditSelectAll_Action));
    AddMenuHandler("FilePrint", handler(&Help::FilePrint_Action));
}

std::shared_ptr<fw::PushButton> Help::PushButton1() const { return ControlAs<fw::PushButton>("PushButton1"); }
std::shared_ptr<fw::TextArea> Help::TextArea1() const { return ControlAs<fw::TextArea>("TextArea1"); }

void Help::PushButton1_Action(fw::PushButton&)
{
    auto& area = fw::Deref(TextArea1(), "TextArea1");
    const int32_t start = area.SelStart();
    const int32_t length = area.SelLength();
    fw::MsgBox("Start: " + fw::Str(int64_t(start)) + " Length: " + fw::Str(int64_t(length)));
}

void Help::TextArea1_Open(fw::Control&)
{
}

std::shared_ptr<fw::MenuItem> Help::MenuNamed(const char* name) const
{
    return fw::Deref(GetMenuBar(), "menu bar").Lookup(name);
}

std::shared_ptr<fw::MenuItem> Help::EditMenu() const { return MenuNamed("EditMenu"); }
std::shared_ptr<fw::MenuItem> Help::EditSelectAll() const { return MenuNamed("EditSelectAll"); }
std::shared_ptr<fw::MenuItem> Help::UntitledMenu0() const { return MenuNamed("UntitledMenu0"); }
std::shared_ptr<fw::MenuItem> Help::EditClear() const { return MenuNamed("EditClear"); }
std::shared_ptr<fw::MenuItem> Help::EditPaste() const { return MenuNamed("EditPaste"); }
std::shared_ptr<fw::MenuItem> Help::EditCopy() const { return MenuNamed("EditCopy"); }
std::shared_ptr<fw::MenuItem> Help::EditCut() const { return MenuNamed("EditCut"); }
std::shared_ptr<fw::MenuItem> Help::UntitledMenu1() const { return MenuNamed("UntitledMenu1"); }
std::shared_ptr<fw::MenuItem> Help::EditUndo() const { return MenuNamed("EditUndo"); }
std::shared_ptr<fw::MenuItem> Help::FileMenu() const { return MenuNamed("FileMenu"); }
std::shared_ptr<fw::MenuItem> Help::FilePrint() const { return MenuNamed("FilePrint"); }

bool Help::EditCopy_Action()
{
    fw::Deref(EditCopy(), "EditCopy").SetEnabled(true);
    return true;
}

bool Help::EditSelectAll_Action()
{
    fw::Deref(EditSelectAll(), "EditSelectAll").SetEnabled(true);
    return true;
}

bool Help::FilePrint_Action()
{
    PrintHelpText([] { return HelpInstance()->TextArea1(); });
    return true;
}
