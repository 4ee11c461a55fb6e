// Controls on a window, driven by real Qt input: stacking, mouse presses,
// drags and double-clicks, buttons, check boxes, labels, lists, rectangles
// and property tables.
#include <string>
#include <vector>

#include <QApplication>
#include <QImage>
#include <QWidget>

#include <gtest/gtest.h>

#include "platform/Application.h"
#include "platform/Canvas.h"
#include "platform/CheckBox.h"
#include "platform/testsupport/InputDriver.h"
#include "platform/Label.h"
#include "platform/Listbox.h"
#include "platform/Picture.h"
#include "platform/PropertyList.h"
#include "platform/PushButton.h"
#include "platform/Rectangle.h"
#include "platform/Seams.h"
#include "platform/TextArea.h"
#include "platform/Timer.h"
#include "platform/Window.h"
#include "platform/qt/PictureImpl.h"
#include "platform/qt/RectControlImpl.h"
#include "platform/qt/WindowImpl.h"

namespace {

class Board : public fw::Window {
public:
    static constexpr const char* FullClassName = "Board.Board";
    std::string ClassName() const override { return FullClassName; }
    void Layout() override
    {
        fw::RuntimeMassPropertySetter(*this,
            fw::PropertyList().Int("Width", 600).Int("Height", 400).Text("Title", "Board").Bool("Visible", true));
    }
};

// Records every mouse event it gets; a drag moves it as a piece moves.
class Piece : public fw::Canvas {
public:
    bool Claim = true;
    bool Follow = false;
    int OffsetX = 0;
    int OffsetY = 0;
    std::vector<std::string> Events;

    bool Event_MouseDown(int32_t x, int32_t y) override
    {
        Events.push_back("Down " + std::to_string(x) + "," + std::to_string(y));
        OffsetX = MouseX() - Left();
        OffsetY = MouseY() - Top();
        return Claim;
    }
    void Event_MouseDrag(int32_t x, int32_t y) override
    {
        Events.push_back("Drag " + std::to_string(x) + "," + std::to_string(y));
        if (Follow) {
            SetLeft(MouseX() - OffsetX);
            SetTop(MouseY() - OffsetY);
        }
    }
    void Event_MouseUp(int32_t x, int32_t y) override
    {
        Events.push_back("Up " + std::to_string(x) + "," + std::to_string(y));
    }
    void Event_DoubleClick(int32_t x, int32_t y) override
    {
        Events.push_back("Double " + std::to_string(x) + "," + std::to_string(y));
    }
};

class ControlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fw::RuntimeResetForTests();
        fw::Seams::ResetSeams();
        fw::RegisterClass({ Board::FullClassName, "Window", {}, {} });
        fw::RegisterClass({ "Piece", "Canvas", {}, {} });
        window = fw::ImplicitInstance<Board>(Board::FullClassName);
    }
    void TearDown() override { fw::RuntimeResetForTests(); }

    template <class T>
    std::shared_ptr<T> Place(const std::string& name, int left, int top, int width, int height,
        const std::string& parent = "")
    {
        auto control = window->New<T>();
        window->AddControl(control, name);
        fw::PropertyList list;
        list.Text("Name", name).Int("Left", left).Int("Top", top).Int("Width", width).Int("Height", height);
        if (!parent.empty())
            list.Text("InitialParent", parent);
        fw::RuntimeMassPropertySetter(*control, list);
        return control;
    }

    static QWidget* WidgetOf(const fw::RectControl& control) { return control.Impl()->Widget(); }

    std::shared_ptr<Board> window;
};

TEST_F(ControlTest, EarlierControlsLieAboveLaterOnesAndChildrenAboveTheirParent)
{
    // As on the game's board: a frame, pieces inside it, then a label and a
    // board picture inside it created after the pieces, then a window-level
    // control created last that overlaps a piece.
    auto frame = Place<fw::Rectangle>("Frame", 10, 10, 400, 300);
    auto first = Place<Piece>("Pieces", 20, 20, 100, 100, "Frame");
    auto second = Place<Piece>("Pieces", 60, 60, 100, 100, "Frame");
    auto label = Place<fw::Label>("Scratch", 20, 20, 300, 200, "Frame");
    auto picture = Place<Piece>("Picture", 20, 20, 300, 250, "Frame");
    auto late = Place<Piece>("Late", 0, 0, 200, 200);

    fw::Input::MouseDown(*window, 70, 70); // first, second, label, picture, late
    fw::Input::MouseUp(*window, 70, 70);
    fw::Input::MouseDown(*window, 150, 150); // second, label, picture, late
    fw::Input::MouseUp(*window, 150, 150);
    fw::Input::MouseDown(*window, 300, 230); // picture only (inside the frame)
    fw::Input::MouseUp(*window, 300, 230);
    fw::Input::MouseDown(*window, 5, 5); // late only
    fw::Input::MouseUp(*window, 5, 5);

    EXPECT_EQ(first->Events, (std::vector<std::string> { "Down 50,50", "Up 50,50" }));
    EXPECT_EQ(second->Events, (std::vector<std::string> { "Down 90,90", "Up 90,90" }));
    EXPECT_EQ(picture->Events, (std::vector<std::string> { "Down 280,210", "Up 280,210" }));
    EXPECT_EQ(late->Events, (std::vector<std::string> { "Down 5,5", "Up 5,5" }));
    // Every control sits at window coordinates on the content area.
    EXPECT_EQ(WidgetOf(*second)->parentWidget(), window->Impl().Content());
    EXPECT_EQ(WidgetOf(*second)->geometry(), QRect(60, 60, 100, 100));
    EXPECT_EQ(label->InitialParent(), "Frame");
    (void)frame;
}

TEST_F(ControlTest, DragComesOnlyWithMovementAndOnlyToAClaimedPress)
{
    auto piece = Place<Piece>("Piece", 100, 100, 50, 50);
    fw::Input::MouseDown(*window, 110, 120);
    EXPECT_EQ(piece->MouseX(), 110);
    EXPECT_EQ(piece->MouseY(), 120);
    fw::Input::MouseMove(*window, 110, 120); // no movement
    fw::Input::MouseMove(*window, 130, 125);
    fw::Input::MouseMove(*window, 130, 125); // none again
    fw::Input::MouseUp(*window, 130, 125);
    EXPECT_EQ(piece->Events, (std::vector<std::string> { "Down 10,20", "Drag 30,25", "Up 30,25" }));

    piece->Events.clear();
    piece->Claim = false;
    fw::Input::MouseDown(*window, 110, 120);
    fw::Input::MouseMove(*window, 140, 140);
    fw::Input::MouseUp(*window, 140, 140);
    EXPECT_EQ(piece->Events, (std::vector<std::string> { "Down 10,20" }));
}

TEST_F(ControlTest, DraggedPieceFollowsTheMouseAnywhereAndStaysOnTop)
{
    auto frame = Place<fw::Rectangle>("Frame", 0, 0, 300, 300);
    auto piece = Place<Piece>("Piece", 20, 20, 100, 100, "Frame");
    auto board = Place<Piece>("Board", 20, 20, 250, 250, "Frame");
    auto other = Place<Piece>("Other", 400, 0, 200, 200);
    piece->Follow = true;

    fw::Input::MouseDown(*window, 30, 40);
    fw::Input::MouseMove(*window, 200, 100);
    fw::Input::MouseMove(*window, 450, 60); // over the later window-level control
    fw::Input::MouseUp(*window, 450, 60);
    EXPECT_EQ(piece->Left(), 440);
    EXPECT_EQ(piece->Top(), 40);
    EXPECT_EQ(WidgetOf(*piece)->geometry().topLeft(), QPoint(440, 40));

    // Outside its parent's frame it is still visible and still on top.
    fw::Input::MouseDown(*window, 500, 100);
    fw::Input::MouseUp(*window, 500, 100);
    EXPECT_TRUE(other->Events.empty());
    EXPECT_EQ(piece->Events.back(), "Up 60,60");

    // Dragging far outside the window is allowed; nothing pulls it back.
    fw::Input::MouseDown(*window, 450, 50);
    fw::Input::MouseMove(*window, 1500, 900);
    fw::Input::MouseUp(*window, 1500, 900);
    EXPECT_EQ(piece->Left(), 1490);
    EXPECT_EQ(piece->Top(), 890);
    EXPECT_TRUE(board->Events.empty());
    (void)frame;
}

TEST_F(ControlTest, DoubleClickRaisesDoubleClickOnceAfterItsPresses)
{
    auto piece = Place<Piece>("Piece", 100, 100, 50, 50);
    fw::Input::DoubleClick(*window, 105, 107);
    EXPECT_EQ(piece->Events,
        (std::vector<std::string> { "Down 5,7", "Up 5,7", "Down 5,7", "Double 5,7", "Up 5,7" }));
}

TEST_F(ControlTest, CanvasCallbacksServeWhenNoSubclassOverridesTheEvents)
{
    auto canvas = Place<fw::Canvas>("Plain", 0, 0, 50, 50);
    std::vector<std::string> seen;
    canvas->OnMouseDown = [&](fw::Canvas&, int32_t x, int32_t y) {
        seen.push_back("down " + std::to_string(x) + "," + std::to_string(y));
        return true;
    };
    canvas->OnMouseDrag = [&](fw::Canvas&, int32_t, int32_t) { seen.push_back("drag"); };
    canvas->OnDoubleClick = [&](fw::Canvas&, int32_t, int32_t) { seen.push_back("double"); };
    fw::Input::MouseDown(*window, 4, 6);
    fw::Input::MouseMove(*window, 8, 6);
    fw::Input::MouseUp(*window, 8, 6);
    fw::Input::DoubleClick(*window, 1, 1);
    EXPECT_EQ(seen, (std::vector<std::string> { "down 4,6", "drag", "down 1,1", "down 1,1", "double" }));
}

TEST_F(ControlTest, CanvasDrawsItsBackdropOnePixelPerPointAndNothingWithoutOne)
{
    auto canvas = Place<fw::Canvas>("Canvas", 0, 0, 40, 40);
    QImage red(20, 10, QImage::Format_ARGB32_Premultiplied);
    red.fill(QColor(255, 0, 0));
    canvas->SetBackdrop(fw::PictureImpl::Wrap(red));

    QImage shot = WidgetOf(*canvas)->grab().toImage();
    ASSERT_FALSE(shot.isNull());
    double ratio = shot.devicePixelRatio();
    EXPECT_EQ(shot.pixelColor(int(5 * ratio), int(5 * ratio)), QColor(255, 0, 0));
    EXPECT_EQ(shot.pixelColor(int(19 * ratio), int(9 * ratio)), QColor(255, 0, 0));
    EXPECT_NE(shot.pixelColor(int(25 * ratio), int(5 * ratio)), QColor(255, 0, 0));
    EXPECT_NE(shot.pixelColor(int(5 * ratio), int(15 * ratio)), QColor(255, 0, 0));

    canvas->SetBackdrop(nullptr);
    shot = WidgetOf(*canvas)->grab().toImage();
    EXPECT_NE(shot.pixelColor(5, 5), QColor(255, 0, 0));
}

TEST_F(ControlTest, CheckBoxAssignmentRaisesActionEvenWhenUnchangedAndAClickRaisesItOnce)
{
    auto box = Place<fw::CheckBox>("Box", 10, 10, 100, 20);
    int actions = 0;
    std::vector<bool> seenValues;
    box->OnAction = [&](fw::CheckBox& sender) {
        ++actions;
        seenValues.push_back(sender.Value());
    };
    box->SetValue(false);
    box->SetValue(false);
    EXPECT_EQ(actions, 2);

    fw::Input::Click(*box);
    EXPECT_EQ(actions, 3);
    EXPECT_TRUE(box->Value());
    EXPECT_EQ(seenValues.back(), true);
    fw::Input::Click(*box);
    EXPECT_FALSE(box->Value());
    EXPECT_EQ(actions, 4);

    box->SetEnabled(false);
    fw::Input::Click(*box);
    box->Click();
    EXPECT_EQ(actions, 4);
    EXPECT_FALSE(box->Value());

    // The property list's Value shows in the box without any handler bound.
    auto laidOut = window->New<fw::CheckBox>();
    fw::RuntimeMassPropertySetter(*laidOut, fw::PropertyList().Bool("Value", true).Text("Caption", "Rotate"));
    EXPECT_TRUE(laidOut->Value());
    EXPECT_EQ(laidOut->State(), 1);
}

TEST_F(ControlTest, LastButtonGivenDefaultIsPressedByReturn)
{
    auto scramble = Place<fw::PushButton>("Scramble", 10, 10, 100, 20);
    auto fresh = Place<fw::PushButton>("New", 10, 40, 100, 20);
    std::vector<std::string> pressed;
    scramble->OnAction = [&](fw::PushButton&) { pressed.push_back("Scramble"); };
    fresh->OnAction = [&](fw::PushButton&) { pressed.push_back("New"); };
    fw::RuntimeMassPropertySetter(*scramble, fw::PropertyList().Bool("Default", true));
    fw::RuntimeMassPropertySetter(*fresh, fw::PropertyList().Bool("Default", true));
    EXPECT_FALSE(scramble->Default());
    EXPECT_TRUE(fresh->Default());

    fw::Input::PressReturn(*window);
    scramble->SetDefault(true);
    fw::Input::PressReturn(*window);
    EXPECT_TRUE(scramble->Default());
    EXPECT_FALSE(fresh->Default());

    // A disabled default button ignores Return, Push and clicks.
    scramble->SetEnabled(false);
    fw::Input::PressReturn(*window);
    scramble->Push();
    fw::Input::Click(*scramble);
    fw::Input::Click(*fresh);
    EXPECT_EQ(pressed, (std::vector<std::string> { "New", "Scramble", "New" }));

    // Escape presses the cancel button.
    fresh->SetCancel(true);
    fw::Input::KeyDown(53);
    fw::Input::KeyUp(53);
    EXPECT_EQ(pressed.back(), "New");
    EXPECT_EQ(pressed.size(), 4u);
}

TEST_F(ControlTest, LabelDrawsCarriageReturnsAsLineBreaksAndCountsRealChanges)
{
    auto label = Place<fw::Label>("Label", 0, 0, 100, 200);
    label->SetTextSize(18);
    label->SetBold(true);
    label->SetTextAlign(1);
    label->SetText("Work\r\rScratch\r\rArea");
    EXPECT_EQ(label->TextChangeCount(), 1u);
    label->SetText("Work\r\rScratch\r\rArea");
    EXPECT_EQ(label->TextChangeCount(), 1u);

    // Rows holding ink: three separate bands of text, one below the other.
    QImage shot = WidgetOf(*label)->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    std::vector<bool> inked(size_t(shot.height()), false);
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            QColor c = shot.pixelColor(x, y);
            if (c.alpha() > 128 && c.lightness() < 100)
                inked[size_t(y)] = true;
        }
    }
    int bands = 0;
    for (size_t y = 0; y < inked.size(); ++y) {
        if (inked[y] && (y == 0 || !inked[y - 1]))
            ++bands;
    }
    EXPECT_EQ(bands, 3);
}

TEST_F(ControlTest, ListboxKeepsItsCellsAndRejectsCellsOutsideIt)
{
    auto list = Place<fw::Listbox>("LB1", 888, 134, 436, 406);
    fw::RuntimeMassPropertySetter(*list, fw::PropertyList().Int("ColumnCount", 5).Text("InitialValue", "").Int("_ScrollWidth", -1));
    EXPECT_EQ(list->ColumnCount(), 5);
    EXPECT_EQ(list->ListCount(), 0);
    EXPECT_EQ(list->LastIndex(), -1);
    EXPECT_THROW(list->Cell(0, 0), fw::OutOfBoundsException);

    for (int i = 0; i < 25; ++i) {
        list->AddRow(std::to_string(i));
        list->SetCell(list->LastIndex(), 4, "0");
    }
    list->SetCell(7, 4, "-3");
    EXPECT_EQ(list->ListCount(), 25);
    EXPECT_EQ(list->LastIndex(), 24);
    EXPECT_EQ(list->Cell(7, 0), "7");
    EXPECT_EQ(list->Cell(7, 4), "-3");
    EXPECT_EQ(list->Cell(8, 2), "");
    EXPECT_THROW(list->Cell(25, 0), fw::OutOfBoundsException);
    EXPECT_THROW(list->Cell(-1, 0), fw::OutOfBoundsException);
    EXPECT_THROW(list->Cell(0, 5), fw::OutOfBoundsException);
    EXPECT_THROW(list->SetCell(0, -1, "x"), fw::OutOfBoundsException);

    list->DeleteAllRows();
    EXPECT_EQ(list->ListCount(), 0);
    EXPECT_EQ(list->LastIndex(), -1);

    fw::RuntimeMassPropertySetter(*list, fw::PropertyList().Text("InitialValue", "a\tb\rc\td"));
    EXPECT_EQ(list->ListCount(), 2);
    EXPECT_EQ(list->Cell(1, 1), "d");
}

TEST_F(ControlTest, RectangleFillsAndFramesItself)
{
    auto frame = Place<fw::Rectangle>("Frame", 0, 0, 50, 40);
    fw::RuntimeMassPropertySetter(*frame, fw::PropertyList()
                                              .Colour("FillColor", fw::RGB(255, 255, 255))
                                              .Int("BorderWidth", 1)
                                              .Colour("TopLeftColor", fw::RGB(0, 0, 0))
                                              .Colour("BottomRightColor", fw::RGB(0, 0, 255)));
    QImage shot = WidgetOf(*frame)->grab().toImage();
    double r = shot.devicePixelRatio();
    EXPECT_EQ(shot.pixelColor(int(20 * r), int(20 * r)), QColor(255, 255, 255));
    EXPECT_EQ(shot.pixelColor(0, int(20 * r)), QColor(0, 0, 0));
    EXPECT_EQ(shot.pixelColor(shot.width() - 1, int(20 * r)), QColor(0, 0, 255));
}

TEST_F(ControlTest, PropertyNamesAClassDoesNotKnowAreLoudErrors)
{
    auto label = window->New<fw::Label>();
    auto button = window->New<fw::PushButton>();
    auto timer = window->New<fw::Timer>();
    EXPECT_THROW(fw::RuntimeMassPropertySetter(*label, fw::PropertyList().Text("Caption", "x")), fw::PropertyListException);
    EXPECT_THROW(fw::RuntimeMassPropertySetter(*button, fw::PropertyList().Bool("Value", true)), fw::PropertyListException);
    EXPECT_THROW(fw::RuntimeMassPropertySetter(*timer, fw::PropertyList().Int("Left", 3)), fw::PropertyListException);
    EXPECT_THROW(fw::RuntimeMassPropertySetter(*window, fw::PropertyList().Int("Mode", 2)), fw::PropertyListException);
    // A known name of the wrong type is as loud.
    EXPECT_THROW(fw::RuntimeMassPropertySetter(*label, fw::PropertyList().Text("TextAlign", "1")), fw::PropertyListException);

    // Inert properties are kept for whoever reads them back.
    fw::RuntimeMassPropertySetter(*label, fw::PropertyList().Bool("Selectable", false).Int("TabPanelIndex", 0).Text("HelpTag", "tip"));
    ASSERT_NE(label->StoredProperty("HelpTag"), nullptr);
    EXPECT_EQ(std::get<std::string>(*label->StoredProperty("HelpTag")), "tip");

    // The array element's Index and Name are applied from the list.
    auto piece = window->New<fw::Canvas>();
    fw::RuntimeMassPropertySetter(*piece, fw::PropertyList().Text("Name", "Snaps").Int("Index", 24).Int("TabIndex", 24));
    EXPECT_EQ(piece->Name(), "Snaps");
    EXPECT_EQ(piece->Index(), 24);
    EXPECT_EQ(piece->TabIndex(), 24);
}

TEST_F(ControlTest, HiddenAndDisabledControlsFollowTheirWidgets)
{
    auto button = Place<fw::PushButton>("Button", 10, 10, 80, 20);
    button->SetVisible(false);
    EXPECT_TRUE(WidgetOf(*button)->isHidden());
    button->SetVisible(true);
    button->SetEnabled(false);
    EXPECT_FALSE(WidgetOf(*button)->isEnabled());
    button->SetCaption("Scramble");
    fw::RuntimeMassPropertySetter(*button, fw::PropertyList().Bool("Bold", true).Text("TextFont", "System"));
    EXPECT_TRUE(WidgetOf(*button)->font().bold());
}

// A window that is activated with nothing focused gives the keyboard to its
// first control in tab order that can be seen; a control lying wholly
// outside the content area never gets it, by activation or by Tab, until the
// content area grows to reach it.
TEST_F(ControlTest, KeyboardFocusSkipsControlsOutsideTheContentArea)
{
    auto other = Place<fw::PushButton>("Other", 100, 300, 80, 20);
    auto ok = Place<fw::PushButton>("OK", 10, 300, 80, 20);
    auto hidden = Place<fw::PushButton>("Hidden", 610, 10, 10, 16);
    auto text = Place<fw::TextArea>("Text", 10, 10, 300, 200);
    fw::RuntimeMassPropertySetter(*other, fw::PropertyList().Int("TabIndex", 4));
    fw::RuntimeMassPropertySetter(*ok, fw::PropertyList().Int("TabIndex", 3));
    fw::RuntimeMassPropertySetter(*hidden, fw::PropertyList().Int("TabIndex", 1));
    fw::RuntimeMassPropertySetter(*text, fw::PropertyList().Int("TabIndex", 2));
    window->Restack();

    QWidget elsewhere;
    elsewhere.resize(50, 50);
    elsewhere.show();
    auto activate = [&](QWidget& widget) {
        widget.activateWindow();
        fw::Input::ProcessEvents(20);
    };
    auto reactivate = [&] {
        activate(elsewhere);
        window->SetFocus();
        fw::Input::ProcessEvents(20);
    };
    reactivate();
    EXPECT_EQ(QApplication::focusWidget(), WidgetOf(*text));

    // Tab goes round in TabIndex order, not creation order, past the
    // control nobody can see.
    auto tab = [] {
        fw::Input::KeyDown(48);
        fw::Input::KeyUp(48);
        return QApplication::focusWidget();
    };
    std::vector<QWidget*> visited;
    for (int i = 0; i < 4; ++i)
        visited.push_back(tab());
    EXPECT_EQ(visited,
        (std::vector<QWidget*> { WidgetOf(*ok), WidgetOf(*other), WidgetOf(*text), WidgetOf(*ok) }));

    // Coming back, the focus stays where the player left it.
    reactivate();
    EXPECT_EQ(QApplication::focusWidget(), WidgetOf(*ok));

    // Focus held by a control that then leaves the content area is dropped,
    // and the next activation chooses again.
    tab();
    ASSERT_EQ(tab(), WidgetOf(*text));
    text->SetLeft(700);
    EXPECT_NE(QApplication::focusWidget(), WidgetOf(*text));
    reactivate();
    EXPECT_EQ(QApplication::focusWidget(), WidgetOf(*ok));

    // A wider window brings the far controls within reach again.
    window->SetWidth(800);
    text->SetFocus();
    EXPECT_EQ(tab(), WidgetOf(*ok));
    EXPECT_EQ(tab(), WidgetOf(*other));
    EXPECT_EQ(tab(), WidgetOf(*hidden));

    // Moved out while the window is inactive, it does not get the focus back.
    text->SetFocus();
    activate(elsewhere);
    text->SetLeft(900);
    window->SetFocus();
    fw::Input::ProcessEvents(20);
    EXPECT_EQ(QApplication::focusWidget(), WidgetOf(*hidden));
}

} // namespace
