// The update check end to end: the version window's button opens the update
// window, which fetches the document from a server of the test's own on
// 127.0.0.1 (through TAVRINE_UPDATE_URL) and reports, offers or fails.
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/Dialogs.h"
#include "platform/HTTPSocket.h"
#include "tests/platform/HTTPSocketTestServer.h"
#include "tests/support/GameFixture.h"
#include "windows/AboutBox.h"
#include "windows/Links.h"
#include "windows/selfTest.h"
#include "windows/updateWindow.h"

namespace {

using testserver::Response;

constexpr int32_t WaitLimit = 15000;
const std::string UpdatePath = "/Updates/tavrine.xml";
const std::string CurrentMessage = "You are using the current version. No update is available.";

std::string Document(const std::string& version, const std::string& description = "New pieces.",
    const std::string& free = "Yes", const std::string& download = "http://www.halvory.example/tavrine.dmg")
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Tavrine>\n"
           "<CurrentVersion>" + version + "</CurrentVersion>\n"
           "<Description>" + description + "</Description>\n"
           "<Free>" + free + "</Free>\n"
           "<DownloadURLOSX>" + download + "</DownloadURLOSX>\n</Tavrine>\n";
}

// What the offer dialog held when it was shown, and what the window showed
// behind it.
struct ShownDialog {
    std::string title, message, explanation;
    int32_t icon = 0;
    std::string actionCaption, alternateCaption;
    bool actionVisible = false, cancelVisible = false, alternateVisible = false;
    std::string statusBehind;
    bool barVisibleBehind = true;
};

struct ShownMessage {
    std::string text;
    std::string statusBehind;
    bool barVisibleBehind = true;
    bool updateWindowOpen = false;
};

enum class Press { Action, Cancel, Alternate };

class UpdateWindowTest : public GameFixture {
protected:
    void SetUp() override
    {
        GameFixture::SetUp();
        setenv("TAVRINE_UPDATE_URL", server.Url(UpdatePath).c_str(), 1);
        OpenMainWindow();
        messages.clear();
        // The order of beeps and messages matters: the beep comes first.
        fw::Seams::SetBeepRecorder([this] { ++beeps; events.push_back("beep"); });
        fw::Seams::SetMessageBoxAnswer([this](const std::string& text) {
            messages.push_back(text);
            events.push_back("message");
            ShownMessage shown;
            shown.text = text;
            if (auto window = OpenUpdateWindow()) {
                shown.updateWindowOpen = true;
                shown.statusBehind = window->StaticText1()->Text();
                shown.barVisibleBehind = window->ProgressBar1()->Visible();
            }
            shownMessages.push_back(shown);
        });
        fw::Seams::SetMessageDialogAnswer([this](const fw::MessageDialog& dialog) {
            ShownDialog shown;
            shown.title = dialog.Title;
            shown.message = dialog.Message;
            shown.explanation = dialog.Explanation;
            shown.icon = dialog.Icon;
            shown.actionCaption = dialog.ActionButton->Caption;
            shown.actionVisible = dialog.ActionButton->Visible;
            shown.cancelVisible = dialog.CancelButton->Visible;
            shown.alternateCaption = dialog.AlternateActionButton->Caption;
            shown.alternateVisible = dialog.AlternateActionButton->Visible;
            if (auto window = OpenUpdateWindow()) {
                shown.statusBehind = window->StaticText1()->Text();
                shown.barVisibleBehind = window->ProgressBar1()->Visible();
            }
            dialogs.push_back(shown);
            switch (press) {
            case Press::Action:
                return dialog.ActionButton;
            case Press::Alternate:
                return dialog.AlternateActionButton;
            case Press::Cancel:
                break;
            }
            return dialog.CancelButton;
        });
    }

    void TearDown() override
    {
        unsetenv("TAVRINE_UPDATE_URL");
        GameFixture::TearDown();
    }

    static std::shared_ptr<updateWindow> OpenUpdateWindow()
    {
        return fw::RuntimeCheckCast<updateWindow>(fw::RuntimeGetImplicitWindow(updateWindow::FullClassName));
    }
    static bool SelfTestOpen() { return fw::RuntimeGetImplicitWindow(selfTest::FullClassName) != nullptr; }

    // "Check for Updates" in the version window, as the player starts it.
    std::shared_ptr<updateWindow> StartCheck()
    {
        auto versionWindow = selfTestInstance();
        versionWindow->Show();
        versionWindow->PushButton1()->Push();
        return OpenUpdateWindow();
    }

    bool WaitUntilClosed()
    {
        return fw::RunEventLoopUntil([] { return !OpenUpdateWindow(); }, WaitLimit);
    }
    bool WaitForDialog()
    {
        return fw::RunEventLoopUntil([this] { return !dialogs.empty(); }, WaitLimit);
    }
    // Lets queued events run, for checks that nothing more happens.
    static void Settle() { fw::RunEventLoopUntil([] { return false; }, 150); }

    // Runs a whole check against `body` and answers an offer with `press`.
    void CheckAgainst(const std::string& body)
    {
        server.Serve(UpdatePath, Response::Page(body));
        ASSERT_TRUE(StartCheck());
        ASSERT_TRUE(fw::RunEventLoopUntil([this] { return !dialogs.empty() || !messages.empty() || !OpenUpdateWindow(); }, WaitLimit));
    }

    void Reset()
    {
        messages.clear();
        shownMessages.clear();
        dialogs.clear();
        urls.clear();
        events.clear();
        beeps = 0;
    }

    testserver::Server server;
    Press press = Press::Cancel;
    std::vector<ShownMessage> shownMessages;
    std::vector<ShownDialog> dialogs;
    std::vector<std::string> events;
};

TEST_F(UpdateWindowTest, CheckingShowsTheBusyBarAndFetchesTheDocumentOnce)
{
    Response silent;
    silent.mode = Response::Mode::NeverAnswer;
    server.Serve(UpdatePath, silent);
    AboutBoxInstance()->Show();
    auto window = StartCheck();
    ASSERT_TRUE(window);
    EXPECT_FALSE(SelfTestOpen());
    // Opening, the update window hands the focus to the game's window, which
    // comes next after it, ahead of the about box.
    auto open = fw::OpenWindows();
    ASSERT_EQ(open.size(), 3u);
    EXPECT_EQ(open[0], window);
    EXPECT_EQ(open[1], Window1Instance());
    EXPECT_EQ(window->Title(), "Update");
    EXPECT_EQ(window->Width(), 300);
    EXPECT_EQ(window->Height(), 120);
    EXPECT_EQ(window->StaticText1()->Text(), "Checking for update...");
    EXPECT_EQ(window->ProgressBar1()->Maximum(), 0);
    EXPECT_TRUE(window->ProgressBar1()->Indeterminate());
    EXPECT_TRUE(window->ProgressBar1()->Visible());
    auto cancel = window->PushButton1();
    EXPECT_EQ(cancel->Caption(), "Cancel");
    EXPECT_TRUE(cancel->Default());
    EXPECT_TRUE(cancel->Cancel());
    EXPECT_FALSE(window->automaticCheck());

    ASSERT_TRUE(fw::RunEventLoopUntil([this] { return server.HeldOpen() == 1; }, WaitLimit));
    // Asking for the window again while it is open starts no second request.
    EXPECT_EQ(updateWindowInstance(), window);
    Settle();
    ASSERT_EQ(server.Requests().size(), 1u);
    EXPECT_EQ(server.Requests()[0], "GET /Updates/tavrine.xml HTTP/1.1");
}

TEST_F(UpdateWindowTest, TheRunningVersionIsReportedCurrent)
{
    ASSERT_EQ(AppInstance()->ShortVersion(), "1.3.0");
    // A fourth field is never compared.
    for (const char* version : { "1.3.0", "1.3.0.7" }) {
        SCOPED_TRACE(version);
        Reset();
        CheckAgainst(Document(version));
        ASSERT_TRUE(WaitUntilClosed());
        ASSERT_EQ(shownMessages.size(), 1u);
        EXPECT_EQ(shownMessages[0].text, CurrentMessage);
        // The window showed the result behind the box and closed after it.
        EXPECT_TRUE(shownMessages[0].updateWindowOpen);
        EXPECT_EQ(shownMessages[0].statusBehind, "This version is current.");
        EXPECT_FALSE(shownMessages[0].barVisibleBehind);
        EXPECT_TRUE(dialogs.empty());
        EXPECT_EQ(beeps, 0);
        EXPECT_FALSE(SelfTestOpen());
    }
}

TEST_F(UpdateWindowTest, AutomaticCheckClosesACurrentVersionWithoutTheBox)
{
    server.Serve(UpdatePath, Response::Page(Document("1.3.0")));
    auto window = StartCheck();
    ASSERT_TRUE(window);
    window->SetautomaticCheck(true);
    selfTestInstance()->Show();
    ASSERT_TRUE(WaitUntilClosed());
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(dialogs.empty());
    EXPECT_FALSE(SelfTestOpen());
}

TEST_F(UpdateWindowTest, AnyOtherVersionIsOffered)
{
    // Older as well as newer: there is no ordering, and the comparison stops
    // at the first differing field.
    for (const char* version : { "1.2.9", "1.4.0", "2.3.0" }) {
        SCOPED_TRACE(version);
        Reset();
        CheckAgainst(Document(version));
        ASSERT_TRUE(WaitForDialog());
        ASSERT_EQ(dialogs.size(), 1u);
        EXPECT_EQ(dialogs[0].message.rfind(std::string("Version ") + version + " is now available. (You are using version 1.3.0.) ", 0), 0u);
        EXPECT_TRUE(messages.empty());
        ASSERT_TRUE(WaitUntilClosed());
    }
}

TEST_F(UpdateWindowTest, TheOfferIsSetUpAsTheDialogOfANewVersion)
{
    CheckAgainst(Document("1.4.0", "Line one\nLine two &amp; more\r\n"));
    ASSERT_TRUE(WaitForDialog());
    const ShownDialog& shown = dialogs[0];
    EXPECT_EQ(shown.title, "New version available!");
    EXPECT_EQ(shown.message,
        "Version 1.4.0 is now available. (You are using version 1.3.0.) This is a free upgrade. "
        "Would you like to automatically download this update (using your web browser)?");
    // Line breaks and entities stay as the document has them.
    EXPECT_EQ(shown.explanation, "Line one\nLine two &amp; more\r\n");
    EXPECT_EQ(shown.icon, 3);
    EXPECT_TRUE(shown.cancelVisible);
    EXPECT_EQ(shown.alternateCaption, "Go to Website");
    EXPECT_TRUE(shown.alternateVisible);
    // The action button is left as the framework makes it.
    fw::MessageDialog fresh;
    EXPECT_EQ(shown.actionCaption, fresh.ActionButton->Caption);
    EXPECT_EQ(shown.actionVisible, fresh.ActionButton->Visible);
    // Behind the dialog: no bar, the status text unchanged.
    EXPECT_FALSE(shown.barVisibleBehind);
    EXPECT_EQ(shown.statusBehind, "Checking for update...");
}

TEST_F(UpdateWindowTest, OnlyYesInAnyCaseMakesTheUpgradeFree)
{
    const std::string paid = "Version 1.4.0 is now available. (You are using version 1.3.0.) This is a paid upgrade. "
                             "Would you like to automatically download the trial version (using your web browser)?";
    const std::string free = "Version 1.4.0 is now available. (You are using version 1.3.0.) This is a free upgrade. "
                             "Would you like to automatically download this update (using your web browser)?";
    struct Case {
        std::string document;
        std::string message;
    };
    const Case cases[] = {
        { Document("1.4.0", "d", "yes"), free },
        { Document("1.4.0", "d", "YES"), free },
        { Document("1.4.0", "d", " Yes "), paid },
        { Document("1.4.0", "d", "No"), paid },
        { Document("1.4.0", "d", ""), paid },
        // A start tag with a blank is not found, so the text is not "Yes".
        { "<CurrentVersion>1.4.0</CurrentVersion><Free >Yes</Free>", paid },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.document);
        Reset();
        CheckAgainst(c.document);
        ASSERT_TRUE(WaitForDialog());
        EXPECT_EQ(dialogs[0].message, c.message);
        ASSERT_TRUE(WaitUntilClosed());
    }
}

TEST_F(UpdateWindowTest, TheFirstOfTwoDescriptionsIsTheExplanation)
{
    CheckAgainst("<CurrentVersion>1.4.0</CurrentVersion><Description>first</Description>"
                 "<Description>second</Description>");
    ASSERT_TRUE(WaitForDialog());
    EXPECT_EQ(dialogs[0].explanation, "first");
}

TEST_F(UpdateWindowTest, TheOffersButtonsOpenTheirLinksAndCloseOrKeepTheWindow)
{
    const std::string download = "https://www.halvory.example/get/tavrine-1.4.0.dmg";

    // Cancel only closes.
    press = Press::Cancel;
    CheckAgainst(Document("1.4.0", "d", "Yes", download));
    ASSERT_TRUE(WaitUntilClosed());
    EXPECT_TRUE(urls.empty());

    // The action button opens the download address and closes.
    Reset();
    press = Press::Action;
    CheckAgainst(Document("1.4.0", "d", "Yes", download));
    ASSERT_TRUE(WaitUntilClosed());
    EXPECT_EQ(urls, std::vector<std::string> { download });

    // "Go to Website" opens the maker's site and leaves the window open with
    // the offer's look until the player cancels; no second request is made.
    Reset();
    press = Press::Alternate;
    CheckAgainst(Document("1.4.0", "d", "Yes", download));
    ASSERT_TRUE(WaitForDialog());
    Settle();
    EXPECT_EQ(urls, std::vector<std::string> { Links::WebSiteURL() });
    auto window = OpenUpdateWindow();
    ASSERT_TRUE(window);
    EXPECT_EQ(window->StaticText1()->Text(), "Checking for update...");
    EXPECT_FALSE(window->ProgressBar1()->Visible());
    window->PushButton1()->Push();
    EXPECT_FALSE(OpenUpdateWindow());
    EXPECT_EQ(server.Requests().size(), 3u);
    EXPECT_TRUE(messages.empty());
}

TEST_F(UpdateWindowTest, ADownloadAddressThatIsNoWebAddressOpensTheWebSiteInstead)
{
    press = Press::Action;
    for (const char* address : { "file:///etc/passwd", "javascript:alert(1)", "", "tavrine.dmg",
             "smb://share/tavrine.dmg", " http://www.halvory.example/x", "http://evil\\@host/",
             "http://a:b:c/" }) {
        SCOPED_TRACE(address);
        Reset();
        CheckAgainst(Document("1.4.0", "d", "Yes", address));
        ASSERT_TRUE(WaitUntilClosed());
        EXPECT_EQ(urls, std::vector<std::string> { Links::WebSiteURL() });
    }
}

TEST_F(UpdateWindowTest, AnEmptyBodyClosesTheWindowSilently)
{
    CheckAgainst("");
    ASSERT_TRUE(WaitUntilClosed());
    Settle();
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(dialogs.empty());
    EXPECT_EQ(beeps, 0);
}

TEST_F(UpdateWindowTest, AnErrorPageIsReadAsADocument)
{
    // The status is not looked at: a page-not-found page names no version, so
    // it is offered as one.
    server.Serve(UpdatePath, Response::Page("<html><body>Not Found</body></html>", 404, "Not Found"));
    ASSERT_TRUE(StartCheck());
    ASSERT_TRUE(WaitForDialog());
    EXPECT_EQ(dialogs[0].message.rfind("Version  is now available. ", 0), 0u);
    EXPECT_EQ(dialogs[0].explanation, "");
    EXPECT_EQ(beeps, 0);
}

TEST_F(UpdateWindowTest, NetworkFailuresBeepReportTheirCodeAndCloseBothWindows)
{
    testserver::RefusingPort refusing;
    Response cut = Response::Page(Document("1.4.0"));
    cut.mode = Response::Mode::CloseMidBody;
    server.Serve("/cut", cut);
    Response huge;
    huge.mode = Response::Mode::Stream;
    huge.streamBytes = 8 * fw::HTTPSocket::MaxContentLength;
    server.Serve("/huge", huge);
    struct Case {
        std::string url;
        int32_t code;
    };
    const Case cases[] = {
        { refusing.Url(UpdatePath), 102 },
        { server.Url("/cut"), 102 },
        { server.Url("/huge"), 100 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url);
        Reset();
        setenv("TAVRINE_UPDATE_URL", c.url.c_str(), 1);
        ASSERT_TRUE(StartCheck());
        // The player opened the version window and the about box while the
        // check ran; the error gives the game's window the focus.
        selfTestInstance()->Show();
        AboutBoxInstance()->Show();
        ASSERT_TRUE(WaitUntilClosed());
        EXPECT_EQ(fw::OpenWindows().front(), Window1Instance());
        EXPECT_EQ(events, (std::vector<std::string> { "beep", "message" }));
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0], "There was a communication error with the website. Please try again later. (Code: "
                + std::to_string(c.code) + ")");
        EXPECT_TRUE(shownMessages[0].updateWindowOpen);
        EXPECT_FALSE(SelfTestOpen());
        EXPECT_TRUE(dialogs.empty());
        // The error must not open a fresh update window (and so a new check).
        Settle();
        EXPECT_FALSE(OpenUpdateWindow());
    }
}

TEST_F(UpdateWindowTest, CancelWhileTheRequestRunsEndsItWithoutAnyMessage)
{
    Response silent;
    silent.mode = Response::Mode::NeverAnswer;
    server.Serve(UpdatePath, silent);
    auto window = StartCheck();
    ASSERT_TRUE(window);
    ASSERT_TRUE(fw::RunEventLoopUntil([this] { return server.HeldOpen() == 1; }, WaitLimit));
    window->PushButton1()->Push();
    EXPECT_FALSE(OpenUpdateWindow());
    // The connection is dropped, and nothing is reported for it afterwards.
    EXPECT_TRUE(fw::RunEventLoopUntil([this] { return server.HeldClosedByClient() == 1; }, WaitLimit));
    Settle();
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(dialogs.empty());
    EXPECT_EQ(beeps, 0);
    EXPECT_FALSE(OpenUpdateWindow());
}

} // namespace
