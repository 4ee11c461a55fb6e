// The version window: one instance, the running version, and the button that
// hands over to the update window.
#include <cstdlib>
#include <functional>
#include <utility>

#include "platform/testsupport/InputDriver.h"
#include "tests/support/ControlFrames.h"
#include "tests/support/GameFixture.h"
#include "windows/AboutBox.h"
#include "windows/Help.h"
#include "windows/selfTest.h"
#include "windows/updateWindow.h"

namespace {

class SelfTestWindowTest : public GameFixture {
protected:
    void SetUp() override
    {
        // The update window starts its check when it opens; point it at a
        // port where nothing listens so no test reaches the network.
        setenv("TAVRINE_UPDATE_URL", "http://127.0.0.1:9/Updates/tavrine.xml", 1);
        GameFixture::SetUp();
    }
    void TearDown() override
    {
        GameFixture::TearDown();
        unsetenv("TAVRINE_UPDATE_URL");
    }

    static std::shared_ptr<fw::Window> OpenUpdateWindow()
    {
        return fw::RuntimeGetImplicitWindow("updateWindow.updateWindow");
    }
    static std::shared_ptr<fw::Window> OpenVersionWindow()
    {
        return fw::RuntimeGetImplicitWindow(selfTest::FullClassName);
    }
};

TEST_F(SelfTestWindowTest, CheckNowShowsOneVersionWindowAndNoUpdateWindow)
{
    ASSERT_TRUE(AppInstance()->CheckforUpdateCheckNow_Action());
    auto window = selfTestInstance();
    ASSERT_TRUE(AppInstance()->CheckforUpdateCheckNow_Action());
    EXPECT_EQ(selfTestInstance(), window);
    EXPECT_EQ(OpenVersionWindow(), window);
    EXPECT_FALSE(OpenUpdateWindow());

    EXPECT_EQ(window->Title(), "Self Test");
    EXPECT_EQ(window->Width(), 212);
    EXPECT_EQ(window->Height(), 102);
    EXPECT_TRUE(window->Visible());
    EXPECT_EQ(window->StaticText1()->Text(), "Version:");
    EXPECT_EQ(window->StaticText2()->Text(), AppInstance()->LongVersion());
    EXPECT_EQ(window->StaticText2()->Text(), "1.3.0");
    EXPECT_EQ(window->PushButton1()->Caption(), "Check for Updates");
    EXPECT_TRUE(window->PushButton1()->Default());
    EXPECT_FALSE(window->PushButton1()->Cancel());

    ASSERT_NO_FATAL_FAILURE(ExpectFrames({
        { window->StaticText1(), 43, 20, 61, 20, 0 },
        { window->StaticText2(), 102, 20, 69, 20, 1 },
        { window->PushButton1(), 28, 61, 157, 21, 2 },
    }));
}

TEST_F(SelfTestWindowTest, CheckForUpdatesHandsOverToOneUpdateWindow)
{
    auto window = selfTestInstance();
    window->PushButton1()->Push();
    EXPECT_TRUE(messages.empty()) << messages.front();
    EXPECT_FALSE(OpenVersionWindow());
    auto update = OpenUpdateWindow();
    ASSERT_TRUE(update);
    EXPECT_TRUE(update->Visible());

    // With an update window already open the same one comes forward.
    selfTestInstance()->PushButton1()->Push();
    EXPECT_FALSE(OpenVersionWindow());
    EXPECT_EQ(OpenUpdateWindow(), update);
}

TEST_F(SelfTestWindowTest, ReturnPressesCheckForUpdates)
{
    auto window = selfTestInstance();
    window->Show();
    fw::Input::PressReturn(*window);
    EXPECT_FALSE(OpenVersionWindow());
    EXPECT_TRUE(OpenUpdateWindow());
}

TEST_F(SelfTestWindowTest, ClosingByTheCloseBoxOpensNothing)
{
    auto window = selfTestInstance();
    fw::Input::CloseBox(*window);
    EXPECT_FALSE(OpenVersionWindow());
    EXPECT_FALSE(OpenUpdateWindow());
    // The next one is built afresh, version label included.
    auto fresh = selfTestInstance();
    EXPECT_NE(fresh, window);
    EXPECT_EQ(fresh->StaticText2()->Text(), "1.3.0");
}

// The update window is in front before the version window goes, so the
// player never sees the game's window flash up between the two.
TEST_F(SelfTestWindowTest, CheckForUpdatesShowsTheUpdateWindowBeforeClosing)
{
    class WatchedVersionWindow : public selfTest {
    public:
        std::function<void()> OnClose;
        void Event_Close() override { OnClose(); }
    };
    auto window = std::make_shared<WatchedVersionWindow>();
    window->Constructor();
    ASSERT_EQ(selfTestInstance(), window);
    bool updateShownFirst = false;
    window->OnClose = [&] {
        auto update = OpenUpdateWindow();
        updateShownFirst = update && update->Visible() && fw::OpenWindows().front() == update;
    };
    window->PushButton1()->Push();
    EXPECT_FALSE(OpenVersionWindow());
    EXPECT_TRUE(updateShownFirst);
}

// Help, about and version windows keep their size and have only a close box;
// the update window is a small utility window that can be minimised.
TEST_F(SelfTestWindowTest, EachWindowHasItsKindOfFrame)
{
    const std::pair<std::shared_ptr<fw::Window>, const char*> fixed[] = {
        { HelpInstance(), "help" },
        { AboutBoxInstance(), "about" },
        { selfTestInstance(), "version" },
    };
    for (const auto& [window, name] : fixed) {
        window->Show();
        auto kind = fw::Input::FrameOf(*window);
        EXPECT_FALSE(kind.Utility) << name;
        EXPECT_FALSE(kind.Resizable) << name;
        EXPECT_FALSE(kind.MinimizeButton) << name;
        EXPECT_FALSE(kind.MaximizeButton) << name;
        EXPECT_TRUE(kind.CloseButton) << name;
    }
    auto update = updateWindowInstance();
    auto kind = fw::Input::FrameOf(*update);
    EXPECT_TRUE(kind.Utility);
    EXPECT_FALSE(kind.Resizable);
    EXPECT_TRUE(kind.MinimizeButton);
    EXPECT_FALSE(kind.MaximizeButton);
    EXPECT_TRUE(kind.CloseButton);
}

TEST_F(SelfTestWindowTest, CloseThroughTheAccessorWithNoneOpenLeavesNone)
{
    ASSERT_FALSE(OpenVersionWindow());
    selfTestInstance()->Close();
    EXPECT_FALSE(OpenVersionWindow());
    EXPECT_FALSE(OpenUpdateWindow());
}

} // namespace
