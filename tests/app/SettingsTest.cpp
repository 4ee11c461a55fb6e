// The settings file: its grammar as read, what is written, and that nothing a
// file holds can crash the reader or lose the saved settings.
#include <climits>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "app/Settings.h"
#include "platform/Strings.h"
#include "platform/System.h"
#include "tests/support/GameFixture.h"

namespace {

class SettingsTest : public GameFixture {
protected:
    static void WriteSettings(const std::string& bytes)
    {
        std::ofstream out(SettingsPath(), std::ios::binary | std::ios::trunc);
        out << bytes;
    }

    static std::string ReadSettingsBytes()
    {
        std::ifstream in(SettingsPath(), std::ios::binary);
        std::stringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }

    // Loads `bytes` as the settings file from the start values.
    static void Load(const std::string& bytes)
    {
        InitModuleValues();
        WriteSettings(bytes);
        LoadSettings();
    }
};

TEST_F(SettingsTest, NoFileCentresTheWindowWithBothOptionsOff)
{
    LoadSettings();
    auto screen = fw::GetScreen(0);
    EXPECT_EQ(WinTop, fw::ToInt32((screen->AvailableHeight() - 580) / 2.0));
    EXPECT_EQ(WinLeft, fw::ToInt32((screen->AvailableWidth() - 865) / 2.0));
    EXPECT_FALSE(UseRotation);
    EXPECT_EQ(ScaleFactor, 1);
}

TEST_F(SettingsTest, ADirectoryWhereTheFileShouldBeGivesTheDefaults)
{
    std::filesystem::create_directories(SettingsPath());
    LoadSettings();
    EXPECT_EQ(ScaleFactor, 1);
    EXPECT_FALSE(UseRotation);
}

TEST_F(SettingsTest, SavedValuesComeBackExactlyAsThreeLines)
{
    WinTop = -40;
    WinLeft = 1234;
    UseRotation = true;
    ScaleFactor = 2;
    SaveSettings();
    EXPECT_EQ(ReadSettingsBytes(), "#Window1Position -40,1234\n#UseRotation True\n#ScaleFactor 2\n");

    InitModuleValues();
    LoadSettings();
    EXPECT_EQ(WinTop, -40);
    EXPECT_EQ(WinLeft, 1234);
    EXPECT_TRUE(UseRotation);
    EXPECT_EQ(ScaleFactor, 2);
}

TEST_F(SettingsTest, KeysAndValuesIgnoreLetterCase)
{
    Load("#SCALEFACTOR 1\n#usErotation true\n#window1position 300,200\n");
    EXPECT_EQ(ScaleFactor, 1);
    EXPECT_TRUE(UseRotation);
    EXPECT_EQ(WinTop, 300);
    EXPECT_EQ(WinLeft, 200);

    Load("#scalefactor 1\n#UseRotation Yes\n");
    EXPECT_EQ(ScaleFactor, 1);
    EXPECT_FALSE(UseRotation);
}

TEST_F(SettingsTest, AnyScaleButOneMeansRetina)
{
    for (const char* line : { "#ScaleFactor 3\n", "#ScaleFactor \n", "#ScaleFactor 1 \n", "#ScaleFactor 01\n" }) {
        Load(line);
        EXPECT_EQ(ScaleFactor, 2) << line;
    }
}

TEST_F(SettingsTest, CommentsAreSkippedAndTheFirstOtherLineEndsReading)
{
    Load("'a comment\n#UseRotation True\n' another\n\n#ScaleFactor 1\n");
    EXPECT_TRUE(UseRotation);
    EXPECT_EQ(ScaleFactor, 0) << "the empty line ends reading, so the scale keeps its start value";

    Load("plain text first\n#UseRotation True\n");
    EXPECT_FALSE(UseRotation);
    EXPECT_EQ(ScaleFactor, 0);
    EXPECT_EQ(WinTop, 0);
}

TEST_F(SettingsTest, LinesWithoutAKeyAreIgnored)
{
    Load("#ScaleFactor\n# 1\n#UseRotation True\n");
    EXPECT_TRUE(UseRotation);
    EXPECT_EQ(ScaleFactor, 0);
    ASSERT_EQ(Directives.size(), 3u);
    EXPECT_EQ(Directives[1]->name, "");
    EXPECT_EQ(Directives[1]->text, "1");
}

TEST_F(SettingsTest, DirectiveRecordsKeepTheirTextAsWritten)
{
    Load("#Window1Position  12 ,x\n#Other Key With Blanks\n");
    ASSERT_EQ(Directives.size(), 3u);
    EXPECT_EQ(Directives[0], nullptr);
    EXPECT_EQ(Directives[1]->name, "window1position");
    EXPECT_EQ(Directives[1]->text, " 12 ,x");
    EXPECT_EQ(Directives[2]->name, "other");
    EXPECT_EQ(Directives[2]->text, "Key With Blanks");
    EXPECT_EQ(WinTop, 12);
    EXPECT_EQ(WinLeft, 0);
}

TEST_F(SettingsTest, PositionsReadPartlyNegativeAndBeyondRange)
{
    Load("#Window1Position 77\n");
    EXPECT_EQ(WinTop, 77);
    EXPECT_EQ(WinLeft, 0);

    Load("#Window1Position -5,-6\n");
    EXPECT_EQ(WinTop, -5);
    EXPECT_EQ(WinLeft, -6);

    Load("#Window1Position 99999999999,-99999999999\n");
    EXPECT_EQ(WinTop, INT32_MAX);
    EXPECT_EQ(WinLeft, INT32_MIN);

    Load("#Window1Position 1e400,nan\n");
    EXPECT_EQ(WinTop, INT32_MAX);
    EXPECT_EQ(WinLeft, 0);
}

TEST_F(SettingsTest, TheLastOccurrenceOfAKeyWins)
{
    Load("#ScaleFactor 1\n#ScaleFactor 2\n#UseRotation True\n#UseRotation False\n");
    EXPECT_EQ(ScaleFactor, 2);
    EXPECT_FALSE(UseRotation);
}

TEST_F(SettingsTest, AMissingScaleLineStaysZeroAndIsSavedAsOne)
{
    Load("#Window1Position 1,2\n#UseRotation False\n");
    EXPECT_EQ(ScaleFactor, 0);
    SaveSettings();
    EXPECT_EQ(ReadSettingsBytes(), "#Window1Position 1,2\n#UseRotation False\n#ScaleFactor 1\n");
}

TEST_F(SettingsTest, AnyLineEndIsAccepted)
{
    for (const char* end : { "\r\n", "\r", "\n" }) {
        Load(std::string("#Window1Position 5,6") + end + "#UseRotation True" + end + "#ScaleFactor 1" + end);
        EXPECT_EQ(WinTop, 5);
        EXPECT_EQ(WinLeft, 6);
        EXPECT_TRUE(UseRotation);
        EXPECT_EQ(ScaleFactor, 1);
    }
}

TEST_F(SettingsTest, HostileFilesNeitherCrashNorHang)
{
    // A byte-order mark is a character that is neither "#" nor "'", so the
    // file counts as read with no directive in it.
    Load("\xEF\xBB\xBF#ScaleFactor 1\n");
    EXPECT_EQ(ScaleFactor, 0);

    Load("#UseRotation " + std::string(10 * 1024 * 1024, 'x') + "\n#ScaleFactor 1\n");
    EXPECT_FALSE(UseRotation);
    EXPECT_EQ(ScaleFactor, 1);

    std::mt19937 random(7);
    for (int round = 0; round < 50; ++round) {
        std::string garbage(1 + random() % 4000, '\0');
        for (auto& byte : garbage)
            byte = char(random());
        if (round % 2)
            garbage[0] = '#';
        Load(garbage);
        EXPECT_TRUE(ScaleFactor == 0 || ScaleFactor == 1 || ScaleFactor == 2);
    }
}

TEST_F(SettingsTest, AFailedSaveLeavesTheOldFileWhole)
{
    const std::string saved = "#Window1Position 10,20\n#UseRotation True\n#ScaleFactor 2\n";
    WriteSettings(saved);
    // The new file cannot be created where a folder stands in its way.
    std::filesystem::create_directories(SettingsPath().string() + ".new/blocker");
    WinTop = 99;
    SaveSettings();
    EXPECT_EQ(ReadSettingsBytes(), saved);
}

TEST_F(SettingsTest, SavingOverAFolderFailsQuietlyAndLeavesNoTemporaryFile)
{
    std::filesystem::create_directories(SettingsPath() / "inside");
    SaveSettings();
    EXPECT_TRUE(std::filesystem::is_directory(SettingsPath()));
    EXPECT_FALSE(std::filesystem::exists(SettingsPath().string() + ".new"));
}

} // namespace
