// The settings file: its grammar as read, what is written, and that nothing a
// file holds can crash the reader or lose the saved settings.
#include <algorithm>
#include <cctype>
#include <climits>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <sstream>

#include <sys/fsuid.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "app/Settings.h"
#include "platform/testsupport/InputDriver.h"
#include "platform/Strings.h"
#include "platform/System.h"
#include "tests/support/GameFixture.h"

namespace {

class SettingsTest : public GameFixture {
protected:
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

    // The names in the settings folder, so a test can see that nothing but
    // the settings file is left there.
    static std::vector<std::string> FolderNames()
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(SettingsPath().parent_path()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    // Bytes this process has read from files so far.
    static long long BytesRead()
    {
        std::ifstream io("/proc/self/io");
        std::string key;
        long long value = 0;
        while (io >> key >> value) {
            if (key == "rchar:")
                return value;
        }
        return -1;
    }

    static void ExpectFirstRunValues(const char* what)
    {
        auto screen = fw::GetScreen(0);
        EXPECT_EQ(WinTop, fw::ToInt32((screen->AvailableHeight() - 580) / 2.0)) << what;
        EXPECT_EQ(WinLeft, fw::ToInt32((screen->AvailableWidth() - 865) / 2.0)) << what;
        EXPECT_FALSE(UseRotation) << what;
        EXPECT_EQ(ScaleFactor, 1) << what;
    }
};

// What the grammar of the settings file gives for a text, worked out apart
// from the reader: the values a load from the start values leaves.
struct Expected {
    int32_t top = 0;
    int32_t left = 0;
    bool rotation = false;
    int32_t scale = 0;
};

int32_t LeadingNumber(const std::string& text)
{
    size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        ++i;
    long long value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i)
        value = std::min(value * 10 + (text[i] - '0'), 10'000'000'000LL);
    value = negative ? -value : value;
    return int32_t(std::clamp<long long>(value, INT32_MIN, INT32_MAX));
}

std::string Lower(std::string text)
{
    for (auto& c : text)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

Expected ByTheGrammar(const std::string& bytes)
{
    Expected values;
    size_t at = 0;
    while (at < bytes.size()) {
        size_t end = bytes.find_first_of("\r\n", at);
        if (end == std::string::npos)
            end = bytes.size();
        std::string line = bytes.substr(at, end - at);
        at = end + (bytes.compare(end, 2, "\r\n") == 0 ? 2 : 1);
        if (line.empty() || (line[0] != '#' && line[0] != '\''))
            break;
        size_t blank = line.find(' ');
        if (line[0] != '#' || blank == std::string::npos)
            continue;
        std::string key = Lower(line.substr(1, blank - 1));
        std::string text = line.substr(blank + 1);
        if (key == "window1position") {
            size_t comma = text.find(',');
            values.top = LeadingNumber(text.substr(0, comma));
            values.left = comma == std::string::npos ? 0 : LeadingNumber(text.substr(comma + 1, text.find(',', comma + 1) - comma - 1));
        } else if (key == "userotation") {
            values.rotation = Lower(text) == "true";
        } else if (key == "scalefactor") {
            values.scale = text == "1" ? 1 : 2;
        }
    }
    return values;
}

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

TEST_F(SettingsTest, RandomFilesGiveWhatTheGrammarSays)
{
    // Lines put together from the pieces that matter to the grammar, so most
    // files hold several directives, comments, odd keys and values, and all
    // three line ends.
    const char* starts[] = { "#", "#", "#", "'", "", "x", " #" };
    const char* keys[] = { "Window1Position", "WINDOW1POSITION", "window1Position", "UseRotation", "userotation",
        "ScaleFactor", "SCALEFACTOR", "Scale", "", "Other" };
    const char* gaps[] = { " ", " ", " ", "", "  " };
    const char* values[] = { "True", "true", "TRUE", "False", "1", "2", " 1", "1 ", "01", "", "12,34", "-5,-6",
        " 7 , 8", "99999999999,-3", "x", "3,", ",4", "9,8,7", "+6,-0" };
    const char* ends[] = { "\n", "\r\n", "\r" };
    std::mt19937 random(11);
    auto pick = [&](const auto& list) { return std::string(list[random() % std::size(list)]); };
    for (int round = 0; round < 300; ++round) {
        std::string file;
        const int lines = int(random() % 8);
        for (int i = 0; i < lines; ++i)
            file += pick(starts) + pick(keys) + pick(gaps) + pick(values) + pick(ends);
        Load(file);
        const Expected want = ByTheGrammar(file);
        std::string shown;
        for (char c : file)
            shown += c == '\r' ? std::string("<CR>") : c == '\n' ? std::string("<LF>") : std::string(1, c);
        ASSERT_EQ(WinTop, want.top) << shown;
        ASSERT_EQ(WinLeft, want.left) << shown;
        ASSERT_EQ(UseRotation, want.rotation) << shown;
        ASSERT_EQ(ScaleFactor, want.scale) << shown;
    }
}

TEST_F(SettingsTest, HugeFilesAreNotReadPastWhatTheyCanHold)
{
    namespace fs = std::filesystem;
    // A sparse file costs nothing to make and reads as one endless line of
    // NULs: reading gives up at the line bound and the defaults apply.
    WriteSettings("");
    std::error_code made;
    fs::resize_file(SettingsPath(), 64ULL << 30, made);
    ASSERT_FALSE(made) << made.message();
    long long before = BytesRead();
    InitModuleValues();
    LoadSettings();
    ExpectFirstRunValues("a 64 GiB sparse file");
    EXPECT_LT(BytesRead() - before, 8LL << 20) << "reading went on past the line bound";

    // A first character that ends the grammar stops reading at once, however
    // long the file.
    WriteSettings("x");
    fs::resize_file(SettingsPath(), 1ULL << 30, made);
    ASSERT_FALSE(made) << made.message();
    before = BytesRead();
    InitModuleValues();
    LoadSettings();
    EXPECT_LT(BytesRead() - before, 8LL << 20) << "a 1 GiB file starting with x was read on";
    EXPECT_EQ(ScaleFactor, 1);

    // What was read before an overlong line still holds; the rest takes the
    // defaults.
    Load("#UseRotation True\r\n'note\r#ScaleFactor 2\n#Window1Position " + std::string(LargestSettingsFile, '5'));
    EXPECT_TRUE(UseRotation);
    EXPECT_EQ(ScaleFactor, 2);
    auto screen = fw::GetScreen(0);
    EXPECT_EQ(WinLeft, fw::ToInt32((screen->AvailableWidth() - 865) / 2.0));
}

// A file is read up to a size and a number of lines far above anything the
// game writes, every line end counted as one byte; one byte or one line more
// and reading stops there, as for a file that cannot be read: what came
// before applies, the defaults the rest.
TEST_F(SettingsTest, ReadingStopsPastTheLargestFileAndTheMostLines)
{
    const std::string head = "#Window1Position 7,8\n";
    const std::string tail = "#ScaleFactor 2\n";
    auto comment = [](size_t bytes) { return "'" + std::string(bytes - 2, 'c') + "\n"; };
    // Two comments fill the file up to the bound, whatever their split.
    const size_t filler = LargestSettingsFile - head.size() - tail.size();
    for (size_t extra : { 0, 1 }) {
        const std::string file
            = head + comment(filler / 2) + comment(filler - filler / 2 + extra) + tail;
        Load(file);
        EXPECT_EQ(WinTop, 7) << file.size() << " bytes";
        EXPECT_EQ(WinLeft, 8) << file.size() << " bytes";
        EXPECT_EQ(ScaleFactor, extra ? 1 : 2) << file.size() << " bytes";
    }
    for (size_t extra : { 0, 1 }) {
        std::string file = head;
        for (size_t line = 2; line < MostSettingsLines + extra; ++line)
            file += "'\n";
        file += tail;
        Load(file);
        EXPECT_EQ(WinTop, 7) << MostSettingsLines + extra << " lines";
        EXPECT_EQ(ScaleFactor, extra ? 1 : 2) << MostSettingsLines + extra << " lines";
    }
}

// Millions of short directive lines: neither every record nor the file is
// taken in, and start-up goes on with what the first lines said.
TEST_F(SettingsTest, ManyShortDirectivesAreNotAllKept)
{
    std::string file = "#Window1Position 300,200\n";
    for (int line = 0; line < 10'000'000; ++line)
        file += "#a b\n";
    const long long before = BytesRead();
    Load(file);
    EXPECT_LT(BytesRead() - before, 8LL << 20) << "reading went on past the bounds";
    EXPECT_LE(Directives.size(), MostSettingsLines + 1);
    EXPECT_EQ(WinTop, 300);
    EXPECT_EQ(WinLeft, 200);
    EXPECT_FALSE(UseRotation);
    EXPECT_EQ(ScaleFactor, 1);
}

TEST_F(SettingsTest, FarAwayPositionsOpenTheWindowCentredAndAreSavedThere)
{
    auto screen = fw::GetScreen(0);
    const int32_t right = screen->Left() + screen->Width();
    struct Case {
        std::string position;
        bool kept;
    };
    const Case cases[] = {
        { "2147483647,-2147483648", false },
        { "-2147483648,2147483647", false },
        { "99999999999,-99999999999", false },
        { "100," + std::to_string(right), false }, // just off the right edge
        { std::to_string(screen->Top() + screen->Height()) + ",100", false }, // just below the bottom
        { "100," + std::to_string(right - 432), true }, // half off the right edge
        { std::to_string(screen->Top() - 300) + ",-400", true }, // partly above and left of it
        { std::to_string(screen->Top() + screen->Height() - 1) + ",100", true }, // one row above the bottom
    };
    for (const Case& c : cases) {
        Load("#Window1Position " + c.position + "\n#UseRotation False\n#ScaleFactor 1\n");
        const int32_t savedTop = WinTop;
        const int32_t savedLeft = WinLeft;
        auto window = OpenMainWindow();
        fw::Input::ProcessEvents(50);
        const int32_t top = window->Top();
        const int32_t left = window->Left();
        // The window system may nudge a window by its frame.
        if (c.kept) {
            EXPECT_NEAR(top, savedTop, 3) << c.position;
            EXPECT_NEAR(left, savedLeft, 3) << c.position;
        } else {
            // Centred on the available area, the menu bar above the content
            // counted in.
            const int32_t middle = screen->AvailableLeft() + (screen->AvailableWidth() - window->Width()) / 2;
            const int32_t upper = screen->AvailableTop() + (screen->AvailableHeight() - window->Height()) / 2;
            EXPECT_NEAR(left, middle, 3) << c.position;
            EXPECT_GE(top, upper - 3) << c.position;
            EXPECT_LE(top, upper + 40) << c.position;
        }
        EXPECT_EQ(WinTop, top) << c.position << ": the move to the centre was not reported";
        EXPECT_EQ(WinLeft, left) << c.position << ": the move to the centre was not reported";
        window->Close();
        EXPECT_EQ(ReadSettingsBytes(),
            "#Window1Position " + std::to_string(top) + "," + std::to_string(left) + "\n#UseRotation False\n#ScaleFactor 1\n")
            << c.position;
        // A fresh game for the next case.
        TearDown();
        SetUp();
    }
}

TEST_F(SettingsTest, AFailedSaveLeavesTheOldFileWhole)
{
    const std::string saved = "#Window1Position 10,20\n#UseRotation True\n#ScaleFactor 2\n";
    WriteSettings(saved);
    // No byte may be written to any file: the new settings fail part way.
    rlimit old {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit none = old;
    none.rlim_cur = 0;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &none), 0);
    WinTop = 99;
    SaveSettings();
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(ReadSettingsBytes(), saved);
    EXPECT_EQ(FolderNames(), std::vector<std::string> { "tavrine2.txt" }) << "the new file was left behind";
}

TEST_F(SettingsTest, SavingOverAFolderFailsQuietlyAndLeavesNoTemporaryFile)
{
    std::filesystem::create_directories(SettingsPath() / "inside");
    SaveSettings();
    EXPECT_TRUE(std::filesystem::is_directory(SettingsPath()));
    EXPECT_FALSE(std::filesystem::exists(SettingsPath().string() + ".new"));
    EXPECT_EQ(FolderNames(), std::vector<std::string> { "tavrine2.txt" });
}

TEST_F(SettingsTest, ALinkWhereTheNewFileMightGoIsNeverWrittenThrough)
{
    namespace fs = std::filesystem;
    const fs::path target = SettingsPath().parent_path().parent_path()
        / ("tavrine-link-target-" + std::to_string(getpid()));
    {
        std::ofstream(target) << "precious\n";
    }
    // Links under the name the save used to write to, and under a few more a
    // guesser might try.
    for (const char* name : { "tavrine2.txt.new", "tavrine2.txt.tmp", "tavrine2.txt~", ".tavrine2.txt" })
        fs::create_symlink(target, SettingsPath().parent_path() / name);
    WinTop = 5;
    WinLeft = 6;
    UseRotation = true;
    ScaleFactor = 2;
    SaveSettings();
    std::ifstream in(target);
    std::stringstream kept;
    kept << in.rdbuf();
    EXPECT_EQ(kept.str(), "precious\n");
    EXPECT_FALSE(fs::is_symlink(SettingsPath()));
    EXPECT_EQ(ReadSettingsBytes(), "#Window1Position 5,6\n#UseRotation True\n#ScaleFactor 2\n");
    for (const char* name : { "tavrine2.txt.new", "tavrine2.txt.tmp", "tavrine2.txt~", ".tavrine2.txt" }) {
        EXPECT_TRUE(fs::is_symlink(SettingsPath().parent_path() / name)) << name;
        fs::remove(SettingsPath().parent_path() / name);
    }
    fs::remove(target);
}

// A settings file kept as a link, say into the player's dotfiles, through a
// chain of relative links as dotfile managers make them. It is read through
// the links, and the save replaces the file at their end, in that file's own
// folder and with its permissions; every link stays as it was.
TEST_F(SettingsTest, ASettingsFileKeptAsALinkStaysALink)
{
    namespace fs = std::filesystem;
    const fs::path config = SettingsPath().parent_path();
    const fs::path dotfiles = config.parent_path() / ("tavrine-dotfiles-" + std::to_string(getpid()));
    fs::remove_all(dotfiles);
    fs::create_directories(dotfiles);
    const fs::path target = dotfiles / "tavrine2.txt";
    {
        std::ofstream(target) << "#Window1Position 10,20\n#UseRotation True\n#ScaleFactor 2\n";
    }
    fs::permissions(target, fs::perms(0644));
    const fs::path toVia = fs::path("..") / dotfiles.filename() / "via";
    fs::create_symlink(toVia, SettingsPath());
    fs::create_symlink("tavrine2.txt", dotfiles / "via");
    auto names = [](const fs::path& folder) {
        std::vector<std::string> found;
        for (const auto& entry : fs::directory_iterator(folder))
            found.push_back(entry.path().filename().string());
        std::sort(found.begin(), found.end());
        return found;
    };
    auto expectLinksAndFoldersAsTheyWere = [&] {
        std::error_code notALink;
        EXPECT_EQ(fs::read_symlink(SettingsPath(), notALink), toVia);
        EXPECT_EQ(fs::read_symlink(dotfiles / "via", notALink), fs::path("tavrine2.txt"));
        EXPECT_EQ(names(config), std::vector<std::string> { "tavrine2.txt" });
        EXPECT_EQ(names(dotfiles), (std::vector<std::string> { "tavrine2.txt", "via" }));
    };

    InitModuleValues();
    LoadSettings();
    EXPECT_EQ(WinTop, 10);
    EXPECT_EQ(WinLeft, 20);
    EXPECT_TRUE(UseRotation);
    EXPECT_EQ(ScaleFactor, 2);
    WinTop = 30;
    SaveSettings();
    expectLinksAndFoldersAsTheyWere();
    EXPECT_EQ(ReadSettingsBytes(), "#Window1Position 30,20\n#UseRotation True\n#ScaleFactor 2\n");
    EXPECT_EQ(fs::status(target).permissions(), fs::perms(0644));

    // The dotfiles folder cannot be written: the save fails quietly and the
    // old file stays whole. Permission bits bind root only once it checks
    // files as somebody else, so the save is made as the user "nobody".
    fs::permissions(dotfiles, fs::perms(0555));
    WinTop = 40;
    const uid_t before = uid_t(setfsuid(geteuid() == 0 ? 65534 : geteuid()));
    SaveSettings();
    setfsuid(before);
    fs::permissions(dotfiles, fs::perms(0755));
    expectLinksAndFoldersAsTheyWere();
    EXPECT_EQ(ReadSettingsBytes(), "#Window1Position 30,20\n#UseRotation True\n#ScaleFactor 2\n");

    // A link to a file not yet there: the save makes it, the owner's alone.
    fs::remove(target);
    SaveSettings();
    expectLinksAndFoldersAsTheyWere();
    EXPECT_EQ(ReadSettingsBytes(), "#Window1Position 40,20\n#UseRotation True\n#ScaleFactor 2\n");
    EXPECT_EQ(fs::status(target).permissions(), fs::perms(0600));

    // Links that go round in a circle are not followed for ever, nor
    // replaced.
    fs::remove(target);
    fs::create_symlink("via", target);
    SaveSettings();
    std::error_code notALink;
    EXPECT_EQ(fs::read_symlink(target, notALink), fs::path("via"));
    expectLinksAndFoldersAsTheyWere();
    fs::remove_all(dotfiles);
}

// A plain settings file keeps the permissions it was given; a first one is
// the owner's alone.
TEST_F(SettingsTest, ASavedFileKeepsItsPermissions)
{
    namespace fs = std::filesystem;
    SaveSettings();
    EXPECT_EQ(fs::status(SettingsPath()).permissions(), fs::perms(0600));
    fs::permissions(SettingsPath(), fs::perms(0640));
    SaveSettings();
    EXPECT_EQ(fs::status(SettingsPath()).permissions(), fs::perms(0640));
    EXPECT_FALSE(fs::is_symlink(SettingsPath()));
}

} // namespace
