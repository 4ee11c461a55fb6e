// Windows: construction order, the implicit-instance registry, geometry,
// moving, closing and quitting.
#include <string>
#include <vector>

#include <QGuiApplication>
#include <QMainWindow>
#include <QScreen>

#include <gtest/gtest.h>

#include "platform/Application.h"
#include "platform/CheckBox.h"
#include "platform/Picture.h"
#include "platform/testsupport/InputDriver.h"
#include "platform/PropertyList.h"
#include "platform/PushButton.h"
#include "platform/Rectangle.h"
#include "platform/Seams.h"
#include "platform/System.h"
#include "platform/Window.h"
#include "platform/qt/WindowImpl.h"

namespace {

std::vector<std::string> g_log;

class TestWindow : public fw::Window {
public:
    static constexpr const char* FullClassName = "TestWindow.TestWindow";
    std::string ClassName() const override { return FullClassName; }

    // Observations made during construction.
    bool RegisteredDuringLayout = false;
    bool AccessorGaveThisDuringOpen = false;
    int ActionsWhileBuilding = 0;
    int Moves = 0;
    int Closes = 0;
    bool QuitAlreadyRequestedAtClose = false;
    fw::PropertyList Properties = fw::PropertyList()
                                      .Int("Placement", 0)
                                      .Int("Width", 320)
                                      .Int("Height", 240)
                                      .Int("MinWidth", 64)
                                      .Int("Frame", 0)
                                      .Text("Title", "Test window")
                                      .Bool("Visible", true)
                                      .Bool("CloseButton", true)
                                      .Bool("Resizeable", false)
                                      .Bool("MaximizeButton", false)
                                      .Bool("MinimizeButton", true)
                                      .Int("MacProcID", 0);

    void Layout() override
    {
        g_log.push_back("Layout");
        RegisteredDuringLayout = fw::RuntimeGetImplicitWindow(FullClassName).get() == this;
        fw::RuntimeMassPropertySetter(*this, Properties);
    }

    void CreateControls() override
    {
        g_log.push_back("CreateControls");
        for (const char* name : { "First", "Second" }) {
            auto box = New<fw::CheckBox>();
            AddControl(box, name);
            fw::RuntimeMassPropertySetter(*box, fw::PropertyList().Text("Name", name).Bool("Value", true));
            box->OnAction = [this](fw::CheckBox&) { ++ActionsWhileBuilding; };
            box->OnOpen = [](fw::Control& c) { g_log.push_back(c.Name() + ".Open"); };
        }
    }

    void AddMenuHandlers() override { g_log.push_back("AddMenuHandlers"); }

    void Event_Open() override
    {
        g_log.push_back("Open");
        AccessorGaveThisDuringOpen = fw::ImplicitInstance<TestWindow>(FullClassName).get() == this;
    }

    void Event_Moved() override { ++Moves; }

    void Event_Close() override
    {
        ++Closes;
        QuitAlreadyRequestedAtClose = fw::QuitRequested();
        g_log.push_back(std::string(ClassName()) + ".Close");
    }
};

class OtherWindow : public TestWindow {
public:
    static constexpr const char* FullClassName = "OtherWindow.OtherWindow";
    std::string ClassName() const override { return FullClassName; }
};

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fw::RuntimeResetForTests();
        fw::Seams::ResetSeams();
        g_log.clear();
        fw::RegisterClass({ TestWindow::FullClassName, "Window", {}, {} });
        fw::RegisterClass({ OtherWindow::FullClassName, TestWindow::FullClassName, {}, {} });
    }
    void TearDown() override { fw::RuntimeResetForTests(); }
};

TEST_F(WindowTest, ConstructionRunsItsStepsInOrderWithTheWindowRegisteredFirst)
{
    auto window = fw::ImplicitInstance<TestWindow>(TestWindow::FullClassName);

    std::vector<std::string> expected { "Layout", "CreateControls", "AddMenuHandlers", "First.Open", "Second.Open",
        "Open" };
    EXPECT_EQ(g_log, expected);
    EXPECT_TRUE(window->RegisteredDuringLayout);
    EXPECT_TRUE(window->AccessorGaveThisDuringOpen);
    // The laid-out Value was applied before the handler was bound.
    EXPECT_EQ(window->ActionsWhileBuilding, 0);
    EXPECT_TRUE(fw::RuntimeCheckCast<fw::CheckBox>(window->ControlByName("First"))->Value());
    // Visible True: shown once construction has finished.
    EXPECT_TRUE(window->Visible());
    EXPECT_TRUE(window->Impl().TopLevel()->isVisible());

    // A second call finds the open window and builds nothing.
    g_log.clear();
    EXPECT_EQ(fw::ImplicitInstance<TestWindow>(TestWindow::FullClassName), window);
    EXPECT_TRUE(g_log.empty());
}

TEST_F(WindowTest, HiddenWindowStaysHiddenUntilShown)
{
    auto window = std::make_shared<TestWindow>();
    window->Properties.Bool("Visible", false);
    window->Constructor();
    EXPECT_FALSE(window->Visible());
    window->Show();
    EXPECT_TRUE(window->Visible());
    EXPECT_TRUE(window->Impl().TopLevel()->isVisible());
}

TEST_F(WindowTest, ContentAreaHasTheLaidOutSizeAndCannotBeResized)
{
    auto window = fw::ImplicitInstance<TestWindow>(TestWindow::FullClassName);
    QMainWindow* host = window->Impl().TopLevel();
    ASSERT_NE(host, nullptr);
    EXPECT_EQ(window->Width(), 320);
    EXPECT_EQ(window->Height(), 240);
    EXPECT_EQ(window->Impl().Content()->size(), QSize(320, 240));
    EXPECT_EQ(host->windowTitle(), QString("Test window"));
    EXPECT_EQ(window->Title(), "Test window");
    EXPECT_EQ(host->minimumSize(), host->maximumSize());

    Qt::WindowFlags flags = host->windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_NE(flags & Qt::WindowType_Mask, Qt::Tool);
}

TEST_F(WindowTest, FrameOneIsAUtilityWindow)
{
    auto window = std::make_shared<TestWindow>();
    window->Properties.Int("Frame", 1);
    window->Constructor();
    EXPECT_EQ(window->Impl().TopLevel()->windowFlags() & Qt::WindowType_Mask, Qt::Tool);
    EXPECT_FALSE(window->Impl().TopLevel()->isModal());
}

TEST_F(WindowTest, UnplacedWindowIsCentredOnTheAvailableArea)
{
    auto window = fw::ImplicitInstance<TestWindow>(TestWindow::FullClassName);
    QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    QRect frame = window->Impl().TopLevel()->geometry();
    EXPECT_NEAR(frame.center().x(), area.center().x(), 1);
    EXPECT_NEAR(frame.center().y(), area.center().y(), 1);

    auto screen = fw::GetScreen(0);
    EXPECT_EQ(screen->AvailableWidth(), area.width());
    EXPECT_LE(screen->AvailableHeight(), screen->Height());
    EXPECT_THROW(fw::GetScreen(7), fw::OutOfBoundsException);
}

TEST_F(WindowTest, TopAndLeftRoundTripAndMovedComesOnceAfterTheMovingCode)
{
    auto window = fw::ImplicitInstance<TestWindow>(TestWindow::FullClassName);
    fw::Input::ProcessEvents(20);
    window->Moves = 0;

    window->SetTop(300);
    window->SetLeft(200);
    EXPECT_EQ(window->Top(), 300);
    EXPECT_EQ(window->Left(), 200);
    // Nothing between the two assignments, nor before the code returns.
    EXPECT_EQ(window->Moves, 0);
    fw::Input::ProcessEvents(30);
    EXPECT_EQ(window->Moves, 1);
    EXPECT_EQ(window->Top(), 300);
    EXPECT_EQ(window->Left(), 200);

    // A position that does not change raises nothing.
    window->SetTop(300);
    fw::Input::ProcessEvents(30);
    EXPECT_EQ(window->Moves, 1);

    // Top and Left are the content area's: they hold when the menu bar is
    // hidden and shown again.
    window->SetMenuBarVisible(false);
    EXPECT_EQ(window->Top(), 300);
    window->SetMenuBarVisible(true);
    EXPECT_EQ(window->Top(), 300);
    EXPECT_EQ(window->Left(), 200);
    EXPECT_EQ(window->Impl().Content()->mapToGlobal(QPoint(0, 0)), QPoint(200, 300));
}

TEST_F(WindowTest, PositionSetDuringOpenIsWhereTheWindowAppears)
{
    class PlacedWindow : public TestWindow {
    public:
        void Event_Open() override
        {
            SetTop(120);
            SetLeft(40);
        }
    };
    auto window = std::make_shared<PlacedWindow>();
    window->Constructor();
    fw::Input::ProcessEvents(20);
    EXPECT_EQ(window->Top(), 120);
    EXPECT_EQ(window->Left(), 40);
    EXPECT_EQ(window->Moves, 0) << "appearing where it was placed is no move";
}

TEST_F(WindowTest, PositionTheWindowSystemAdjustsIsWhatTopAndLeftReport)
{
    // The content at the very top would put the menu bar off the screen; the
    // window system keeps the window on it, and Top reports where it is.
    auto window = fw::ImplicitInstance<TestWindow>(TestWindow::FullClassName);
    window->SetTop(0);
    window->SetLeft(0);
    fw::Input::ProcessEvents(30);
    QPoint content = window->Impl().Content()->mapToGlobal(QPoint(0, 0));
    EXPECT_EQ(window->Top(), content.y());
    EXPECT_EQ(window->Left(), content.x());
    EXPECT_GE(window->Top(), 0);
}

namespace closing {
int g_closes = 0;
bool g_openAfterClose = true;
std::string g_captionAfterClose;
}

TEST_F(WindowTest, CloseFromItsOwnHandlerIsSafeAndHappensOnce)
{
    class ClosingWindow : public TestWindow {
    public:
        void CreateControls() override
        {
            auto button = New<fw::PushButton>();
            AddControl(button, "Closer");
            fw::RuntimeMassPropertySetter(*button,
                fw::PropertyList().Int("Left", 10).Int("Top", 10).Int("Width", 80).Int("Height", 24).Text("Caption", "Close"));
            button->OnAction = Bind(&ClosingWindow::Closer_Action);
        }
        void Event_Close() override { ++closing::g_closes; }
        void Closer_Action(fw::PushButton& sender)
        {
            Close();
            // The window and the button are still whole until this returns.
            sender.SetCaption("closed");
            closing::g_captionAfterClose = sender.Caption();
            Close();
            closing::g_openAfterClose = IsOpen() || Title() != "";
        }
    };
    closing::g_closes = 0;
    std::weak_ptr<ClosingWindow> weak;
    std::shared_ptr<fw::PushButton> button;
    {
        auto window = std::make_shared<ClosingWindow>();
        window->Constructor();
        weak = window;
        button = fw::RuntimeCheckCast<fw::PushButton>(window->ControlByName("Closer"));
    }
    ASSERT_FALSE(weak.expired()) << "the framework holds an open window";
    fw::Input::Click(*button);
    fw::Input::ProcessEvents(10);

    EXPECT_EQ(closing::g_closes, 1);
    EXPECT_EQ(closing::g_captionAfterClose, "closed");
    EXPECT_FALSE(closing::g_openAfterClose);
    EXPECT_EQ(fw::RuntimeGetImplicitWindow(TestWindow::FullClassName), nullptr);
    // Nobody holds the closed window any more; its button outlives it safely.
    EXPECT_TRUE(weak.expired());
    EXPECT_EQ(button->GetWindow(), nullptr);
    button->SetCaption("still usable");
    button->Push();
}

TEST_F(WindowTest, ClosingThenAskingAgainBuildsAFreshWindow)
{
    auto first = fw::ImplicitInstance<TestWindow>(TestWindow::FullClassName);
    auto firstBox = first->ControlByName("First");
    first->Close();
    EXPECT_FALSE(first->IsOpen());

    g_log.clear();
    auto second = fw::ImplicitInstance<TestWindow>(TestWindow::FullClassName);
    EXPECT_NE(second, first);
    EXPECT_NE(second->ControlByName("First"), firstBox);
    EXPECT_EQ(g_log.back(), "Open");
    EXPECT_TRUE(second->IsOpen());
}

TEST_F(WindowTest, UserCloseBoxRunsTheSameClose)
{
    auto window = fw::ImplicitInstance<TestWindow>(TestWindow::FullClassName);
    window->Impl().TopLevel()->close();
    EXPECT_EQ(window->Closes, 1);
    EXPECT_FALSE(window->IsOpen());
    EXPECT_TRUE(fw::OpenWindows().empty());
}

TEST_F(WindowTest, OpenWindowsListsTheFrontWindowFirst)
{
    auto a = fw::ImplicitInstance<TestWindow>(TestWindow::FullClassName);
    auto b = fw::ImplicitInstance<OtherWindow>(OtherWindow::FullClassName);
    auto open = fw::OpenWindows();
    ASSERT_EQ(open.size(), 2u);
    EXPECT_EQ(open[0], b);

    a->Show();
    EXPECT_EQ(fw::OpenWindows()[0], a);
    b->SetFocus();
    EXPECT_EQ(fw::OpenWindows()[0], b);
    b->Close();
    open = fw::OpenWindows();
    ASSERT_EQ(open.size(), 1u);
    EXPECT_EQ(open[0], a);
}

TEST_F(WindowTest, QuitApplicationClosesEveryWindowFrontFirstBeforeQuitting)
{
    auto a = fw::ImplicitInstance<TestWindow>(TestWindow::FullClassName);
    auto b = fw::ImplicitInstance<OtherWindow>(OtherWindow::FullClassName);
    g_log.clear();
    fw::QuitApplication();

    std::vector<std::string> expected { "OtherWindow.OtherWindow.Close", "TestWindow.TestWindow.Close" };
    EXPECT_EQ(g_log, expected);
    EXPECT_FALSE(a->QuitAlreadyRequestedAtClose);
    EXPECT_FALSE(b->QuitAlreadyRequestedAtClose);
    EXPECT_TRUE(fw::QuitRequested());
    EXPECT_EQ(fw::QuitCode(), 0);
    EXPECT_TRUE(fw::OpenWindows().empty());
}

TEST_F(WindowTest, ControlsAreFoundByNameAndByNameAndIndex)
{
    auto window = fw::ImplicitInstance<TestWindow>(TestWindow::FullClassName);
    std::vector<std::shared_ptr<fw::CheckBox>> array;
    for (int i = 0; i < 3; ++i) {
        auto box = window->New<fw::CheckBox>();
        box->SetIndex(i);
        window->AddControl(box, "Array");
        array.push_back(box);
    }
    EXPECT_EQ(window->ControlByName("Array"), array[0]);
    EXPECT_EQ(window->ControlByNameIndex("Array", 2), array[2]);
    EXPECT_EQ(window->ControlByNameIndex("Array", 3), nullptr);
    EXPECT_EQ(window->ControlByName("Missing"), nullptr);
    EXPECT_EQ(window->New("CheckBox")->ClassName(), "CheckBox");
    EXPECT_THROW(window->New("Window"), fw::IllegalCastException);
}

// A window that puts itself where it is told while it opens, as the main
// window does with a saved position.
class PlacedWindow : public TestWindow {
public:
    static constexpr const char* FullClassName = "PlacedWindow.PlacedWindow";
    std::string ClassName() const override { return FullClassName; }
    static inline int32_t s_top = 0;
    static inline int32_t s_left = 0;
    void Event_Open() override
    {
        SetTop(s_top);
        SetLeft(s_left);
    }
};

TEST_F(WindowTest, AWindowPlacedOffEveryScreenOpensCentredAndSaysSo)
{
    fw::RegisterClass({ PlacedWindow::FullClassName, TestWindow::FullClassName, {}, {} });
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    struct Case {
        int32_t top, left;
        bool kept;
    };
    const Case cases[] = {
        { INT32_MAX, INT32_MIN, false },
        { INT32_MIN, INT32_MAX, false },
        { 50, screen.right() + 1, false },
        { screen.bottom() + 1, 50, false },
        { -240, 50, false }, // its last row just above the screen
        { 50, screen.right() - 159, true },
        { screen.bottom(), 50, true }, // its first row on the screen
    };
    for (const Case& c : cases) {
        PlacedWindow::s_top = c.top;
        PlacedWindow::s_left = c.left;
        auto window = fw::ImplicitInstance<PlacedWindow>(PlacedWindow::FullClassName);
        fw::Input::ProcessEvents(30);
        const std::string at = std::to_string(c.top) + "," + std::to_string(c.left);
        if (c.kept) {
            EXPECT_EQ(window->Top(), c.top) << at;
            EXPECT_EQ(window->Left(), c.left) << at;
            EXPECT_EQ(window->Moves, 0) << at;
        } else {
            EXPECT_NEAR(window->Left(), area.x() + (area.width() - 320) / 2, 1) << at;
            EXPECT_GE(window->Top(), area.y() + (area.height() - 240) / 2) << at;
            EXPECT_LE(window->Top(), area.y() + (area.height() - 240) / 2 + 40) << at;
            EXPECT_EQ(window->Moves, 1) << at << ": the program must learn where the window went";
        }
        window->Close();
    }

    // Controls and captures far out leave Qt's integer geometry alone too.
    PlacedWindow::s_top = 10;
    PlacedWindow::s_left = 10;
    auto window = fw::ImplicitInstance<PlacedWindow>(PlacedWindow::FullClassName);
    auto far = window->New<fw::Rectangle>();
    window->AddControl(far, "Far");
    far->SetWidth(INT32_MAX);
    far->SetHeight(100);
    far->SetLeft(INT32_MAX);
    far->SetTop(INT32_MIN);
    EXPECT_EQ(far->Left(), INT32_MAX);
    auto picture = fw::CaptureScreenRect(INT32_MAX, INT32_MIN, 4, 4);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->Width(), 4);
    window->Close();
}

} // namespace
