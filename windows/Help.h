#pragma once

#include <memory>
#include <string>

#include "platform/MenuItem.h"
#include "platform/PushButton.h"
#include "platform/TextArea.h"
#include "platform/Window.h"

// The help window: the whole help text in one editable, scrollable styled
// text area, with its own File and Edit menus. Edits live as long as the
// window.
class Help : public fw::Window {
public:
    static constexpr const char* FullClassName = "Help.Help";
    std::string ClassName() const override { return FullClassName; }

    // Control accessors; nil when the control is missing.
    std::shared_ptr<fw::PushButton> PushButton1() const;
    std::shared_ptr<fw::TextArea> TextArea1() const;

    // Control event handlers.
    void PushButton1_Action(fw::PushButton& sender);
    void TextArea1_Open(fw::Control& sender);

    // Menu-item accessors: the items of the window's menu bar by name.
    std::shared_ptr<fw::MenuItem> EditMenu() const;
    std::shared_ptr<fw::MenuItem> EditSelectAll() const;
    std::shared_ptr<fw::MenuItem> UntitledMenu0() const;
    std::shared_ptr<fw::MenuItem> EditClear() const;
    std::shared_ptr<fw::MenuItem> EditPaste() const;
    std::shared_ptr<fw::MenuItem> EditCopy() const;
    std::shared_ptr<fw::MenuItem> EditCut() const;
    std::shared_ptr<fw::MenuItem> UntitledMenu1() const;
    std::shared_ptr<fw::MenuItem> EditUndo() const;
    std::shared_ptr<fw::MenuItem> FileMenu() const;
    std::shared_ptr<fw::MenuItem> FilePrint() const;

    // Menu handlers. The text area itself copies and selects; these only keep
    // their items enabled and report the command handled.
    bool EditCopy_Action();
    bool EditSelectAll_Action();
    // "Print Help" of this window: prints the text and leaves the window open.
    bool FilePrint_Action();

protected:
    void Layout() override;
    void CreateControls() override { CreateControls0(); }
    void CreateControls0();
    void AddMenuHandlers() override;

private:
    std::shared_ptr<fw::MenuItem> MenuNamed(const char* name) const;
};

// The help window, created when none is open.
inline std::shared_ptr<Help> HelpInstance() { return fw::ImplicitInstance<Help>(Help::FullClassName); }

// The help text as the window lays it out: paragraphs separated by one empty
// line (two carriage returns).
const std::string& HelpText();
