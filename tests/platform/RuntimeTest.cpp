// The run time: the event loop and quitting, the handling of unhandled
// exceptions, timers and the keyboard's state.
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>


#include "platform/Application.h"
#include "platform/Listbox.h"
#include "platform/testsupport/InputDriver.h"
#include "platform/PropertyList.h"
#include "platform/PushButton.h"
#include "platform/Seams.h"
#include "platform/System.h"
#include "platform/Timer.h"
#include "platform/Window.h"

namespace {

class Clock : public fw::Window {
public:
    static constexpr const char* FullClassName = "Clock.Clock";
    std::string ClassName() const override { return FullClassName; }
    void Layout() override
    {
        fw::RuntimeMassPropertySetter(*this, fw::PropertyList().Int("Width", 200).Int("Height", 100).Bool("Visible", true));
    }
    void CreateControls() override
    {
        auto timer = New<fw::Timer>();
        AddControl(timer, "Ticker");
        fw::RuntimeMassPropertySetter(*timer, fw::PropertyList().Text("Name", "Ticker").Int("Mode", 0).Int("Period", 10));
        timer->OnAction = Bind(&Clock::Ticker_Action);
        auto button = New<fw::PushButton>();
        AddControl(button, "Go");
        fw::RuntimeMassPropertySetter(*button, fw::PropertyList().Int("Left", 0).Int("Top", 0).Int("Width", 60).Int("Height", 20));
        button->OnAction = Bind(&Clock::Go_Action);
    }
    std::shared_ptr<fw::Timer> Ticker() const { return fw::RuntimeCheckCast<fw::Timer>(ControlByName("Ticker")); }
    std::shared_ptr<fw::PushButton> Go() const { return fw::RuntimeCheckCast<fw::PushButton>(ControlByName("Go")); }

    void Ticker_Action(fw::Timer&)
    {
        ++Ticks;
        if (ThrowOnTick)
            throw fw::NilObjectException("no piece");
    }
    void Go_Action(fw::PushButton&) { throw std::out_of_range("vector"); }

    int Ticks = 0;
    bool ThrowOnTick = false;
};

class RuntimeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fw::RuntimeResetForTests();
        fw::Seams::ResetSeams();
        fw::RegisterClass({ Clock::FullClassName, "Window", {}, {} });
        fw::Seams::SetMessageBoxAnswer([this](const std::string& text) { messages.push_back(text); });
    }
    void TearDown() override
    {
        fw::RuntimeSetExceptionHelper(nullptr);
        fw::Seams::ResetSeams();
        fw::RuntimeResetForTests();
    }
    std::vector<std::string> messages;
};

TEST_F(RuntimeTest, UnhandledExceptionIsReportedOnceAndQuitsWithStatusOne)
{
    bool ran = false;
    fw::DispatchEvent("Window1.MyScramble_Action", [] { throw fw::NilObjectException("nil"); });
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0],
        "An exception of class NilObjectException was not handled in Window1.MyScramble_Action. "
        "The application must shut down.");
    EXPECT_TRUE(fw::QuitRequested());
    EXPECT_EQ(fw::QuitCode(), 1);
    EXPECT_TRUE(fw::FatalExceptionReported());

    // Nothing runs after it, and the code on the way out cannot turn the
    // failure into success.
    fw::DispatchEvent("Window1.Timer1_Action", [&] { ran = true; });
    fw::Quit(0);
    EXPECT_FALSE(ran);
    EXPECT_EQ(fw::QuitCode(), 1);
    EXPECT_EQ(messages.size(), 1u);
}

TEST_F(RuntimeTest, ExceptionsFromRealEventsNameTheirClassAndHandler)
{
    auto clock = fw::ImplicitInstance<Clock>(Clock::FullClassName);
    fw::Input::Click(*clock->Go());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0],
        "An exception of class std::out_of_range was not handled in Clock.Go_Action. The application must shut down.");
    EXPECT_EQ(fw::QuitCode(), 1);

    fw::RuntimeResetForTests();
    messages.clear();
    clock = fw::ImplicitInstance<Clock>(Clock::FullClassName);
    clock->ThrowOnTick = true;
    clock->Ticker()->SetMode(2);
    fw::Input::ProcessEvents(60);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("NilObjectException was not handled in Clock.Ticker_Action"), std::string::npos);
    EXPECT_EQ(clock->Ticks, 1) << "no tick after the failure";
}

TEST_F(RuntimeTest, HandlersRunThroughTheProgramsExceptionHelper)
{
    static int helped = 0;
    helped = 0;
    fw::RuntimeSetExceptionHelper([](void* routine, void* argument) {
        ++helped;
        reinterpret_cast<void (*)(void*)>(routine)(argument);
    });
    int ran = 0;
    fw::DispatchEvent("App.Event_Open", [&] { ++ran; });
    EXPECT_EQ(ran, 1);
    EXPECT_EQ(helped, 1);
    fw::DispatchEvent("App.Event_Open", [] { throw fw::OutOfBoundsException("row"); });
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("OutOfBoundsException"), std::string::npos);
}

TEST_F(RuntimeTest, TimersTickByModeAndStopWithTheirWindow)
{
    auto clock = fw::ImplicitInstance<Clock>(Clock::FullClassName);
    auto timer = clock->Ticker();
    fw::Input::ProcessEvents(40);
    EXPECT_EQ(clock->Ticks, 0) << "mode 0 is stopped";

    timer->SetMode(1);
    fw::Input::ProcessEvents(60);
    EXPECT_EQ(clock->Ticks, 1);
    EXPECT_EQ(timer->Mode(), 0);

    timer->SetMode(2);
    fw::Input::ProcessEvents(80);
    EXPECT_GE(clock->Ticks, 3);

    clock->Close();
    int before = clock->Ticks;
    timer->SetMode(2);
    fw::Input::ProcessEvents(50);
    EXPECT_EQ(clock->Ticks, before);
    EXPECT_EQ(timer->Mode(), 0);
}

TEST_F(RuntimeTest, TicksDueWhileAModalDialogIsUpAreSkippedNotQueued)
{
    auto clock = fw::ImplicitInstance<Clock>(Clock::FullClassName);
    clock->Ticker()->SetMode(2);
    {
        fw::ModalScope modal;
        fw::Input::ProcessEvents(80);
        EXPECT_EQ(clock->Ticks, 0);
    }
    // After the dialog the ticks come at their pace again, without a burst
    // of the skipped ones.
    fw::Input::ProcessEvents(15);
    EXPECT_LE(clock->Ticks, 2);
    fw::Input::ProcessEvents(60);
    EXPECT_GE(clock->Ticks, 2);

    // A one-shot timer keeps its tick for after the dialog.
    clock->Ticker()->SetMode(1);
    int before = clock->Ticks;
    {
        fw::ModalScope modal;
        fw::Input::ProcessEvents(40);
    }
    fw::Input::ProcessEvents(60);
    EXPECT_EQ(clock->Ticks, before + 1);
}

class TestApp : public fw::Application {
public:
    std::string ClassName() const override { return "TestApp"; }
    std::function<void()> OnOpen;
    int Opens = 0;
    void Event_Open() override
    {
        ++Opens;
        if (OnOpen)
            OnOpen();
    }
};

TEST_F(RuntimeTest, RunDeliversOpenFirstAndReturnsTheQuitCode)
{
    auto app = std::make_shared<TestApp>();
    fw::RuntimeRegisterAppObject(app);
    EXPECT_EQ(fw::getAppObject(), app);
    bool laterEventRan = false;
    app->OnOpen = [&] {
        // Events keep coming after Open until Quit; the loop then ends even
        // from inside a nested loop, once control returns to it.
        auto clock = fw::ImplicitInstance<Clock>(Clock::FullClassName);
        clock->Ticker()->OnAction = [&](fw::Timer&) {
            laterEventRan = true;
            fw::Input::ProcessEvents(5);
            fw::Quit(3);
        };
        clock->Ticker()->SetMode(1);
    };
    EXPECT_EQ(fw::RuntimeRun(), 3);
    EXPECT_EQ(app->Opens, 1);
    EXPECT_TRUE(laterEventRan);
}

TEST_F(RuntimeTest, QuitBeforeTheLoopRunsEndsItAtOnce)
{
    auto app = std::make_shared<TestApp>();
    fw::RuntimeRegisterAppObject(app);
    fw::Quit(5);
    EXPECT_EQ(fw::RuntimeRun(), 5);
    EXPECT_EQ(app->Opens, 0);
}

TEST_F(RuntimeTest, QuitItemClosesTheWindowsFromInsideTheLoop)
{
    auto app = std::make_shared<TestApp>();
    fw::RuntimeRegisterAppObject(app);
    app->OnOpen = [] {
        fw::ImplicitInstance<Clock>(Clock::FullClassName);
        fw::QuitApplication();
    };
    EXPECT_EQ(fw::RuntimeRun(), 0);
    EXPECT_TRUE(fw::OpenWindows().empty());
}

TEST_F(RuntimeTest, KeyboardStateFollowsKeyEventsAndModifiers)
{
    auto clock = fw::ImplicitInstance<Clock>(Clock::FullClassName);
    EXPECT_FALSE(fw::Keyboard::AsyncKeyDown(124));
    fw::Input::KeyDown(124);
    EXPECT_TRUE(fw::Keyboard::AsyncKeyDown(124));
    EXPECT_FALSE(fw::Keyboard::AsyncKeyDown(123));
    fw::Input::KeyDown(123);
    EXPECT_TRUE(fw::Keyboard::AsyncKeyDown(123));
    fw::Input::KeyUp(124);
    EXPECT_FALSE(fw::Keyboard::AsyncKeyDown(124));
    EXPECT_TRUE(fw::Keyboard::AsyncKeyDown(123));

    fw::Input::SetModifierKeys(true, false);
    EXPECT_TRUE(fw::Keyboard::AsyncOptionKey());
    EXPECT_FALSE(fw::Keyboard::AsyncControlKey());
    fw::Input::SetModifierKeys(true, true);
    EXPECT_TRUE(fw::Keyboard::AsyncControlKey());
    // A mouse event carries the modifier state too.
    fw::Input::SetModifierKeys(false, false);
    fw::Keyboard::SetModifiers(true, true);
    fw::Input::MouseMove(*clock, 5, 5);
    EXPECT_TRUE(fw::Keyboard::AsyncOptionKey());
    fw::Keyboard::SetModifiers(false, false);
    fw::Input::MouseMove(*clock, 6, 6);
    EXPECT_FALSE(fw::Keyboard::AsyncOptionKey());

    EXPECT_EQ(fw::Keyboard::MacKeyCodeForQtKey(fw::Keyboard::QtKeyForMacKeyCode(36)), 36);
    fw::RuntimeResetForTests();
    EXPECT_FALSE(fw::Keyboard::AsyncKeyDown(123));
}

TEST_F(RuntimeTest, ResetForTestsStartsAFreshRun)
{
    fw::ImplicitInstance<Clock>(Clock::FullClassName);
    fw::BackgroundTaskYield();
    fw::RuntimeRegisterAppObject(std::make_shared<TestApp>());
    fw::Quit(2);
    fw::RuntimeResetForTests();
    EXPECT_TRUE(fw::OpenWindows().empty());
    EXPECT_EQ(fw::getAppObject(), nullptr);
    EXPECT_FALSE(fw::QuitRequested());
    EXPECT_EQ(fw::QuitCode(), 0);
    EXPECT_EQ(fw::BackgroundTaskYieldCount(), 0u);
}

} // namespace

namespace {

// Says when it is released, so a test can see when that happens.
class ListWindow : public fw::Window {
public:
    static constexpr const char* FullClassName = "ListWindow.ListWindow";
    ~ListWindow() override { std::fprintf(stderr, "window released\n"); }
    std::string ClassName() const override { return FullClassName; }
    void Layout() override
    {
        fw::RuntimeMassPropertySetter(*this, fw::PropertyList().Int("Width", 300).Int("Height", 200).Bool("Visible", true));
    }
    void CreateControls() override
    {
        auto list = New<fw::Listbox>();
        AddControl(list, "List");
        fw::RuntimeMassPropertySetter(*list, fw::PropertyList().Int("Left", 10).Int("Top", 10).Int("Width", 200).Int("Height", 150));
    }
};

} // namespace

// A process can end through exit() with windows still open: Qt itself calls
// it when the X server goes away, and a program may return from main without
// the framework's exit step. The exit handlers then run after Qt's own state
// may be gone, so they must leave the windows alone (taking a window down
// then crashed on its list box's focus); the framework's exit step still
// releases them while Qt is up.
TEST(RuntimeExitTest, WindowsStillOpenAtExitAreLeftToTheSystem)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    auto openWindowAndExit = [] {
        fw::RegisterClass({ ListWindow::FullClassName, "Window", {}, {} });
        auto window = fw::ImplicitInstance<ListWindow>(ListWindow::FullClassName);
        window.reset();
        fw::Input::ProcessEvents(10);
        std::fprintf(stderr, "exiting\n");
        std::exit(0);
    };
    EXPECT_EXIT(openWindowAndExit(), ::testing::ExitedWithCode(0), ::testing::Not(::testing::HasSubstr("window released")));
    EXPECT_EXIT(openWindowAndExit(), ::testing::ExitedWithCode(0), ::testing::HasSubstr("exiting"));
}
