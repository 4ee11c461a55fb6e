#pragma once

#include <memory>

#include "platform/Canvas.h"
#include "platform/CheckBox.h"
#include "platform/Label.h"
#include "platform/Listbox.h"
#include "platform/MenuItem.h"
#include "platform/PropertyList.h"
#include "platform/PushButton.h"
#include "platform/Rectangle.h"
#include "platform/Timer.h"
#include "platform/Window.h"
#include "puzzle/DraggableCanvas.h"

// The game's main window: the board, the answer view, the 25 pieces, the
// buttons, check boxes, count label, timers and the hidden piece table.
class Window1 : public fw::Window, public PieceBoard {
public:
    static constexpr const char* FullClassName = "Window1.Window1";
    std::string ClassName() const override { return FullClassName; }

    // Control accessors.
    std::shared_ptr<fw::Rectangle> Rectangle1() const;
    std::shared_ptr<DraggableCanvas> Snaps(int32_t index) const override;
    std::shared_ptr<fw::Label> Label2() const;
    std::shared_ptr<fw::Canvas> Canvas1() const;
    std::shared_ptr<fw::PushButton> MyScramble() const override;
    std::shared_ptr<fw::Listbox> LB1() const override;
    std::shared_ptr<fw::Label> Label1() const;
    std::shared_ptr<fw::Rectangle> Rectangle2() const;
    std::shared_ptr<fw::Canvas> Canvas2() const;
    std::shared_ptr<fw::Timer> Timer1() const;
    std::shared_ptr<fw::PushButton> MyNew() const;
    std::shared_ptr<fw::CheckBox> CB1() const;
    std::shared_ptr<fw::Label> MyCorrect() const;
    std::shared_ptr<fw::Timer> CountEm() const;
    std::shared_ptr<fw::CheckBox> CB2() const;

    // Control event handlers.
    void MyScramble_Action(fw::PushButton& sender);
    void Timer1_Action(fw::Timer& sender);
    void MyNew_Action(fw::PushButton& sender);
    void CB1_Action(fw::CheckBox& sender);
    void CB1_Open(fw::Control& sender);
    void CountEm_Action(fw::Timer& sender);
    void CB2_Action(fw::CheckBox& sender);
    void CB2_Open(fw::Control& sender);

    // Menu-item accessors.
    std::shared_ptr<fw::MenuItem> HelpMenu() const;
    std::shared_ptr<fw::AppleMenuItem> HelpAboutBox() const;
    std::shared_ptr<fw::MenuItem> HelpShowHelp() const;
    std::shared_ptr<fw::MenuBar> CheckforUpdateMenu() const;
    std::shared_ptr<fw::MenuItem> CheckforUpdateCheckNow() const;
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
    std::shared_ptr<fw::QuitMenuItem> FileQuit() const;
    std::shared_ptr<fw::MenuItem> UntitledSeparator() const;
    std::shared_ptr<fw::MenuItem> FilePrintHelp() const;

protected:
    void Layout() override;
    void CreateControls() override;
    void CreateControls0();
    void CreateControls1();
    void Event_Open() override;
    void Event_Close() override;
    void Event_Moved() override;

private:
    template <class T>
    std::shared_ptr<T> MenuNamed(const char* name) const;
};

// The main window's piece class: a DraggableCanvas made with its control index.
class Window1Snaps : public DraggableCanvas {
public:
    static constexpr const char* FullClassName = "Window1.Snaps";
    std::string ClassName() const override { return FullClassName; }

    void Constructor(int32_t index);
    void Constructor();
};

// The stored layout of piece `index`: a transparent 100 by 100 canvas one
// point left of and above its home slot, inside the board's frame.
fw::PropertyList PieceProperties(int32_t index);

// The main window, created when none is open.
std::shared_ptr<Window1> Window1Instance();
// Asks for a JPEG and shows its top-left square on the main window's board and
// answer view.
void LoadPuzzlePicture();
