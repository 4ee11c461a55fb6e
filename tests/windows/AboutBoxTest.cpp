// The about box: one instance, its layout, the running version and the three
// links handed to the desktop.
#include "platform/testsupport/InputDriver.h"
#include "platform/Strings.h"
#include "tests/support/ControlFrames.h"
#include "tests/support/GameFixture.h"
#include "windows/AboutBox.h"
#include "windows/Links.h"

namespace {

class AboutBoxTest : public GameFixture {};

TEST_F(AboutBoxTest, AboutTwiceKeepsOneBoxShowingTheRunningVersion)
{
    ASSERT_TRUE(AppInstance()->HelpAboutBox_Action());
    auto box = AboutBoxInstance();
    ASSERT_TRUE(AppInstance()->HelpAboutBox_Action());
    EXPECT_EQ(AboutBoxInstance(), box);
    EXPECT_EQ(fw::RuntimeGetImplicitWindow(AboutBox::FullClassName), box);

    EXPECT_EQ(box->Title(), "About...");
    EXPECT_EQ(box->Width(), 264);
    EXPECT_EQ(box->Height(), 296);
    EXPECT_TRUE(box->Visible());
    // The design text never survives the label's Open event.
    EXPECT_EQ(box->StaticText4()->Text(), AppInstance()->LongVersion());
    EXPECT_EQ(box->StaticText4()->Text(), "1.3.0");
    EXPECT_EQ(box->StaticText3()->Text(), "Version:");
    EXPECT_EQ(box->StaticText1()->Text(), "Tavrine");
    EXPECT_EQ(box->StaticText1()->TextSize(), 30);
    EXPECT_EQ(box->StaticText3()->TextSize(), 12);
    EXPECT_EQ(box->StaticText4()->TextSize(), 12);
    EXPECT_EQ(box->StaticText2()->Text(), "Developed by\rKorvast\r\rSr. Beta Tester\rPellwin");
    EXPECT_EQ(fw::NthField(box->StaticText2()->Text(), "\r", 3), "");
    // The version stands right-aligned against its label; name and credits
    // are centred.
    EXPECT_EQ(box->StaticText4()->TextAlign(), 2);
    EXPECT_EQ(box->StaticText3()->TextAlign(), 0);
    EXPECT_EQ(box->StaticText2()->TextAlign(), 1);
    EXPECT_EQ(box->StaticText1()->TextAlign(), 1);

    ASSERT_NO_FATAL_FAILURE(ExpectFrames({
        { box->PushButton1(), 72, 180, 120, 21, 0 },
        { box->PushButton2(), 72, 217, 120, 21, 1 },
        { box->StaticText2(), 80, 86, 104, 87, 2 },
        { box->StaticText1(), 20, 20, 224, 45, 3 },
        { box->StaticText3(), 72, 60, 56, 20, 4 },
        { box->StaticText4(), 130, 60, 62, 20, 5 },
        { box->Kagi(), 67, 256, 130, 20, 6 },
    }));
    EXPECT_EQ(box->PushButton1()->Caption(), "Email Author");
    EXPECT_EQ(box->PushButton2()->Caption(), "Visit Web Site");
    EXPECT_EQ(box->Kagi()->Caption(), "Support Halvory");
    // Return and Escape press none of the buttons.
    for (const auto& button : { box->PushButton1(), box->PushButton2(), box->Kagi() }) {
        EXPECT_FALSE(button->Default()) << button->Name();
        EXPECT_FALSE(button->Cancel()) << button->Name();
    }
}

TEST_F(AboutBoxTest, EachPressOpensItsLinkOnceAndLeavesTheBoxAsItWas)
{
    auto box = AboutBoxInstance();
    box->Show();
    // Real clicks on the buttons, as the player makes them.
    fw::Input::Click(*box->PushButton1());
    fw::Input::Click(*box->PushButton2());
    fw::Input::Click(*box->Kagi());
    fw::Input::Click(*box->Kagi());
    EXPECT_EQ(urls,
        (std::vector<std::string> { Links::AuthorMailURL(), Links::WebSiteURL(), Links::OrderURL(),
            Links::OrderURL() }));
    EXPECT_EQ(fw::RuntimeGetImplicitWindow(AboutBox::FullClassName), box);
    EXPECT_EQ(box->StaticText4()->Text(), "1.3.0");
    EXPECT_TRUE(messages.empty());
}

TEST_F(AboutBoxTest, LinksHaveTheirFixedForms)
{
    const std::string mail = Links::AuthorMailURL();
    EXPECT_EQ(mail.rfind("mailto:", 0), 0u);
    EXPECT_EQ(mail.find('?'), std::string::npos) << "no subject or body";
    EXPECT_NE(mail.find('@'), std::string::npos);

    const std::string site = Links::WebSiteURL();
    EXPECT_EQ(site, std::string("http://") + Links::WebSiteHost);
    EXPECT_EQ(site.find('/', 7), std::string::npos) << "the home page: no path, no trailing slash";

    const std::string order = Links::OrderURL();
    EXPECT_EQ(order, std::string("http://") + Links::OrderHost + "/?" + Links::ProductCode + "&lang=en");

    // Every host is a reserved example name.
    EXPECT_EQ(mail.substr(mail.size() - 8), ".example");
    EXPECT_EQ(site.substr(site.size() - 8), ".example");
    EXPECT_NE(order.find(".example/?"), std::string::npos);
}

TEST_F(AboutBoxTest, ClosedBoxIsBuiltAfreshWithTheVersion)
{
    auto box = AboutBoxInstance();
    box->StaticText4()->SetText("stale");
    box->Close();
    EXPECT_FALSE(fw::RuntimeGetImplicitWindow(AboutBox::FullClassName));
    ASSERT_TRUE(AppInstance()->HelpAboutBox_Action());
    auto fresh = AboutBoxInstance();
    EXPECT_NE(fresh, box);
    EXPECT_EQ(fresh->StaticText4()->Text(), AppInstance()->LongVersion());
}

} // namespace
