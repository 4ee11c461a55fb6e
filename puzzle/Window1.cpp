#include "puzzle/Window1.h"

#include "module/Globals.h"
#include "platform/PropertyPresets.h"
#include "puzzle/PictureLoading.h"
#include "puzzle/Win1MenuBar.h"

using fw::PropertyList;
using fw::RGB;

namespace {

constexpr fw::Color White = RGB(255, 255, 255);
constexpr fw::Color Black = RGB(0, 0, 0);
constexpr int32_t PieceCount = 25;

// The scratch area's label: three words, two carriage returns between each.
const std::string ScratchText = "Work\r\rScratch\r\rArea";
const std::string TableHeading =
    "        Row          Position         x pos             y pos         rotation";

// What every placed control of the window stores: its name and place, its
// edge locks and the common designer settings.
PropertyList Placed(const std::string& name, int32_t left, int32_t top, int32_t width, int32_t height,
    int32_t tabIndex, bool locked, const std::string& parent = "")
{
    PropertyList p;
    p.Text("Name", name).Int("Left", left).Int("Top", top).Int("Width", width).Int("Height", height)
        .Bool("LockLeft", locked).Bool("LockTop", locked).Bool("LockRight", false).Bool("LockBottom", false)
        .Int("TabIndex", tabIndex).Int("TabPanelIndex", 0).Bool("TabStop", true)
        .Bool("Visible", true).Bool("Enabled", true).Bool("AutoDeactivate", true).Text("HelpTag", "")
        .Text("InitialParent", parent);
    return p;
}

PropertyList& FrameRectangle(PropertyList& p)
{
    return p.Colour("FillColor", White).Int("BorderWidth", 1)
        .Colour("TopLeftColor", Black).Colour("BottomRightColor", Black);
}

PropertyList& PictureCanvas(PropertyList& p)
{
    return p.Bool("Transparent", true).Bool("AcceptFocus", false).Bool("AcceptTabs", false)
        .Bool("UseFocusRing", true).Bool("DoubleBuffer", false).Bool("EraseBackground", true);
}

PropertyList& BoldSystemFont(PropertyList& p)
{
    return p.Text("TextFont", "System").Bool("Bold", true).Bool("Italic", false).Bool("Underline", false);
}

PropertyList& DataBinding(PropertyList& p)
{
    return p.Text("DataSource", "").Text("DataField", "");
}

PropertyList& LabelText(PropertyList& p, const std::string& text, int32_t align)
{
    p.Text("Text", text).Int("TextAlign", align).Colour("TextColor", Black);
    BoldSystemFont(p);
    p.Bool("Multiline", false).Bool("Selectable", false).Bool("Transparent", false);
    return DataBinding(p);
}

PropertyList& Button(PropertyList& p, const std::string& caption)
{
    p.Text("Caption", caption).Bool("Default", true).Bool("Cancel", false).Int("ButtonStyle", 0);
    return BoldSystemFont(p);
}

PropertyList& Check(PropertyList& p, const std::string& caption, bool value)
{
    p.Text("Caption", caption).Bool("Value", value).Int("State", value ? 1 : 0);
    BoldSystemFont(p);
    return DataBinding(p);
}

PropertyList TimerProperties(const std::string& name, int32_t period)
{
    PropertyList p;
    p.Text("Name", name).Int("Mode", 0).Int("Period", period);
    return p;
}

} // namespace

fw::PropertyList PieceProperties(int32_t i)
{
    PropertyList p = Placed("Snaps", 19 + 100 * (i % 5), 19 + 100 * (i / 5), 100, 100, i, false, "Rectangle1");
    p.Int("Index", i);
    return PictureCanvas(p);
}

void Window1Snaps::Constructor(int32_t index)
{
    SetIndex(index);
    RectControl::Constructor();
}

void Window1Snaps::Constructor()
{
    fw::RuntimeMassPropertySetter(*this, PieceProperties(0));
    SetIndex(0);
    auto self = std::static_pointer_cast<fw::Control>(shared_from_this());
    fw::Deref(GetWindow(), "window").AddControl(self, "Snaps");
    RectControl::Constructor();
}

std::shared_ptr<Window1> Window1Instance()
{
    return fw::ImplicitInstance<Window1>(Window1::FullClassName);
}

template <class T>
std::shared_ptr<T> Window1::MenuNamed(const char* name) const
{
    return fw::RuntimeCheckCast<T>(fw::Deref(GetMenuBar(), "menu bar").Lookup(name));
}

std::shared_ptr<fw::Rectangle> Window1::Rectangle1() const { return ControlAs<fw::Rectangle>("Rectangle1"); }
std::shared_ptr<DraggableCanvas> Window1::Snaps(int32_t index) const
{
    return fw::RuntimeCheckCast<DraggableCanvas>(ControlByNameIndex("Snaps", index));
}
std::shared_ptr<fw::Label> Window1::Label2() const { return ControlAs<fw::Label>("Label2"); }
std::shared_ptr<fw::Canvas> Window1::Canvas1() const { return ControlAs<fw::Canvas>("Canvas1"); }
std::shared_ptr<fw::PushButton> Window1::MyScramble() const { return ControlAs<fw::PushButton>("MyScramble"); }
std::shared_ptr<fw::Listbox> Window1::LB1() const { return ControlAs<fw::Listbox>("LB1"); }
std::shared_ptr<fw::Label> Window1::Label1() const { return ControlAs<fw::Label>("Label1"); }
std::shared_ptr<fw::Rectangle> Window1::Rectangle2() const { return ControlAs<fw::Rectangle>("Rectangle2"); }
std::shared_ptr<fw::Canvas> Window1::Canvas2() const { return ControlAs<fw::Canvas>("Canvas2"); }
std::shared_ptr<fw::Timer> Window1::Timer1() const { return ControlAs<fw::Timer>("Timer1"); }
std::shared_ptr<fw::PushButton> Window1::MyNew() const { return ControlAs<fw::PushButton>("MyNew"); }
std::shared_ptr<fw::CheckBox> Window1::CB1() const { return ControlAs<fw::CheckBox>("CB1"); }
std::shared_ptr<fw::Label> Window1::MyCorrect() const { return ControlAs<fw::Label>("MyCorrect"); }
std::shared_ptr<fw::Timer> Window1::CountEm() const { return ControlAs<fw::Timer>("CountEm"); }
std::shared_ptr<fw::CheckBox> Window1::CB2() const { return ControlAs<fw::CheckBox>("CB2"); }

std::shared_ptr<fw::MenuItem> Window1::HelpMenu() const { return MenuNamed<fw::MenuItem>("HelpMenu"); }
std::shared_ptr<fw::AppleMenuItem> Window1::HelpAboutBox() const { return MenuNamed<fw::AppleMenuItem>("HelpAboutBox"); }
std::shared_ptr<fw::MenuItem> Window1::HelpShowHelp() const { return MenuNamed<fw::MenuItem>("HelpShowHelp"); }
std::shared_ptr<fw::MenuBar> Window1::CheckforUpdateMenu() const { return MenuNamed<fw::MenuBar>("CheckforUpdateMenu"); }
std::shared_ptr<fw::MenuItem> Window1::CheckforUpdateCheckNow() const { return MenuNamed<fw::MenuItem>("CheckforUpdateCheckNow"); }
std::shared_ptr<fw::MenuItem> Window1::EditMenu() const { return MenuNamed<fw::MenuItem>("EditMenu"); }
std::shared_ptr<fw::MenuItem> Window1::EditSelectAll() const { return MenuNamed<fw::MenuItem>("EditSelectAll"); }
std::shared_ptr<fw::MenuItem> Window1::UntitledMenu0() const { return MenuNamed<fw::MenuItem>("UntitledMenu0"); }
std::shared_ptr<fw::MenuItem> Window1::EditClear() const { return MenuNamed<fw::MenuItem>("EditClear"); }
std::shared_ptr<fw::MenuItem> Window1::EditPaste() const { return MenuNamed<fw::MenuItem>("EditPaste"); }
std::shared_ptr<fw::MenuItem> Window1::EditCopy() const { return MenuNamed<fw::MenuItem>("EditCopy"); }
std::shared_ptr<fw::MenuItem> Window1::EditCut() const { return MenuNamed<fw::MenuItem>("EditCut"); }
std::shared_ptr<fw::MenuItem> Window1::UntitledMenu1() const { return MenuNamed<fw::MenuItem>("UntitledMenu1"); }
std::shared_ptr<fw::MenuItem> Window1::EditUndo() const { return MenuNamed<fw::MenuItem>("EditUndo"); }
std::shared_ptr<fw::MenuItem> Window1::FileMenu() const { return MenuNamed<fw::MenuItem>("FileMenu"); }
std::shared_ptr<fw::QuitMenuItem> Window1::FileQuit() const { return MenuNamed<fw::QuitMenuItem>("FileQuit"); }
std::shared_ptr<fw::MenuItem> Window1::UntitledSeparator() const { return MenuNamed<fw::MenuItem>("UntitledSeparator"); }
std::shared_ptr<fw::MenuItem> Window1::FilePrintHelp() const { return MenuNamed<fw::MenuItem>("FilePrintHelp"); }

void Window1::Layout()
{
    SetMenuBar(Win1MenuBarInstance());
    fw::RuntimeMassPropertySetter(*this, fw::WindowProperties("Tavrine", 865, 542, 0, true));
}

void Window1::CreateControls()
{
    CreateControls0();
    CreateControls1();
}

void Window1::CreateControls0()
{
    PropertyList r1 = Placed("Rectangle1", 19, 19, 601, 502, 14, true);
    Place<fw::Rectangle>("Rectangle1", FrameRectangle(r1));

    // The pieces form one control array: each constructor takes its index.
    for (int32_t i = 0; i < PieceCount; ++i) {
        auto piece = New<Window1Snaps>();
        piece->Constructor(i);
        AddControl(piece, "Snaps");
        fw::RuntimeMassPropertySetter(*piece, PieceProperties(i));
    }

    PropertyList l2 = Placed("Label2", 518, 19, 100, 400, 25, true, "Rectangle1");
    Place<fw::Label>("Label2", fw::TextSize { 18 }, LabelText(l2, ScratchText, 1));

    PropertyList c1 = Placed("Canvas1", 20, 20, 500, 500, 26, false, "Rectangle1");
    Place<fw::Canvas>("Canvas1", PictureCanvas(c1));

    PropertyList s = Placed("MyScramble", 694, 287, 100, 20, 1, true);
    Place<fw::PushButton>("MyScramble", Button(s, "Scramble"), &Window1::MyScramble_Action);

    PropertyList lb = Placed("LB1", 888, 134, 436, 406, 7, true);
    lb.Int("ColumnCount", 5).Text("ColumnWidths", "").Bool("HasHeading", false).Int("HeadingIndex", -1)
        .Text("InitialValue", "").Bool("Border", true).Bool("ScrollBarVertical", true)
        .Bool("ScrollbarHorizontal", false).Bool("AutoHideScrollbars", true)
        .Int("GridLinesHorizontal", 2).Int("GridLinesVertical", 2).Int("DefaultRowHeight", -1)
        .Int("_ScrollWidth", -1).Int("_ScrollOffset", 0).Int("SelectionType", 0)
        .Bool("RequiresSelection", false).Bool("Hierarchical", false).Bool("EnableDrag", false)
        .Bool("EnableDragReorder", false).Bool("ColumnsResizable", false).Bool("UseFocusRing", true)
        .Text("TextFont", "System").Bool("Bold", false).Bool("Italic", false).Bool("Underline", false);
    Place<fw::Listbox>("LB1", DataBinding(lb));
}

void Window1::CreateControls1()
{
    PropertyList l1 = Placed("Label1", 888, 115, 436, 20, 8, true);
    Place<fw::Label>("Label1", LabelText(l1, TableHeading, 0));

    PropertyList r2 = Placed("Rectangle2", 643, 19, 200, 200, 12, true);
    Place<fw::Rectangle>("Rectangle2", FrameRectangle(r2));

    PropertyList c2 = Placed("Canvas2", 643, 19, 200, 200, 0, true, "Rectangle2");
    Place<fw::Canvas>("Canvas2", PictureCanvas(c2));

    Place<fw::Timer>("Timer1", TimerProperties("Timer1", 50), &Window1::Timer1_Action);

    PropertyList n = Placed("MyNew", 694, 333, 100, 20, 15, true);
    Place<fw::PushButton>("MyNew", Button(n, "New"), &Window1::MyNew_Action);

    PropertyList cb1 = Placed("CB1", 651, 377, 69, 20, 16, true);
    Place<fw::CheckBox>("CB1", Check(cb1, "Rotate", true), &Window1::CB1_Action, &Window1::CB1_Open);

    PropertyList mc = Placed("MyCorrect", 696, 404, 100, 74, 17, true);
    Place<fw::Label>("MyCorrect", fw::TextSize { 50 }, LabelText(mc, "0", 1));

    Place<fw::Timer>("CountEm", TimerProperties("CountEm", 100), &Window1::CountEm_Action);

    PropertyList cb2 = Placed("CB2", 772, 377, 69, 20, 18, true);
    Place<fw::CheckBox>("CB2", Check(cb2, "Retina", false), &Window1::CB2_Action, &Window1::CB2_Open);
}

void LoadPuzzlePicture()
{
    // The views are held across the open-file dialog.
    auto window = Window1Instance();
    auto board = window->Canvas1();
    auto answer = window->Canvas2();
    LoadPictureOnto(fw::Deref(board, "Canvas1"), fw::Deref(answer, "Canvas2"));
}

void Window1::Event_Open()
{
    Window1Instance()->SetTop(WinTop);
    Window1Instance()->SetLeft(WinLeft);
    LoadPuzzlePicture();
}

void Window1::Event_Moved()
{
    WinTop = Window1Instance()->Top();
    WinLeft = Window1Instance()->Left();
}

void Window1::Event_Close()
{
    if (SaveSettingsHook)
        SaveSettingsHook();
    fw::Quit(0);
}

void Window1::CB1_Open(fw::Control&)
{
    CB1()->SetValue(UseRotation);
}

void Window1::CB1_Action(fw::CheckBox&)
{
    UseRotation = CB1()->Value();
}

void Window1::CB2_Open(fw::Control&)
{
    CB2()->SetValue(ScaleFactor == 2);
}

void Window1::CB2_Action(fw::CheckBox&)
{
    // Assigning the box's value while it opens raises one Action; that one
    // must not change the loaded scale.
    if (IgnoreFirstRetinaAction) {
        IgnoreFirstRetinaAction = false;
        return;
    }
    ScaleFactor = CB2()->Value() ? 2 : 1;
}
