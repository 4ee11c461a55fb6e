#include "GameTestSupport.h"

#include <cstdlib>
#include <fstream>

#include "platform/Files.h"
#include "puzzle/Counting.h"

namespace gametest {
namespace {

using namespace GameRules;

TEST(CorrectRule, ExactlyHomeAndTheTextZero)
{
    EXPECT_TRUE(IsCorrectPiece(220, 120, "220", "120", "0"));
    EXPECT_FALSE(IsCorrectPiece(221, 120, "220", "120", "0"));
    EXPECT_FALSE(IsCorrectPiece(220, 119, "220", "120", "0"));
    for (const char* code : { "1", "2", "3", "-1", "-2", "-3", "-0", "00", "" })
        EXPECT_FALSE(IsCorrectPiece(220, 120, "220", "120", code)) << '"' << code << '"';
}

TEST(CountRule, RiseFallAndEqual)
{
    EXPECT_EQ(CompareCounts(3, 5), CountChange::Rise);
    EXPECT_EQ(CompareCounts(5, 4), CountChange::Fall);
    EXPECT_EQ(CompareCounts(25, 0), CountChange::Fall);
    EXPECT_EQ(CompareCounts(7, 7), CountChange::Equal);
}

class CountTest : public GameTest {
protected:
    void SetUp() override
    {
        GameTest::SetUp();
        Scramble();
    }

    // A pass counts four pieces correct, then New and Scramble start the next
    // game on the same picture with no sound recorded yet.
    void NewGameAfterFourCounted()
    {
        MakeCorrect(4);
        CountPass();
        NewGame();
        W().Canvas1()->SetBackdrop(m_board);
        Scramble();
        m_sounds.clear();
    }
};

TEST_F(CountTest, ARiseRewritesTheLabelAndPingsOnce)
{
    MakeCorrect(3);
    CountPass();
    ASSERT_EQ(Label(), "3");
    m_sounds.clear();
    MakeCorrect(5);
    CountPass();
    EXPECT_EQ(Label(), "5");
    EXPECT_EQ(LastCorrectCount, 5);
    EXPECT_EQ(CorrectCount, 5);
    EXPECT_EQ(m_sounds, std::vector<std::string> { "Ping.wav" });
}

TEST_F(CountTest, AFallRewritesTheLabelSilently)
{
    MakeCorrect(5);
    CountPass();
    m_sounds.clear();
    // A piece dragged off its slot, another turned on it.
    MakeCorrect(5);
    Move(4, HomeLeft(4) + 1, HomeTop(4));
    Table().SetCell(3, ColumnRotation, "-3");
    CountPass();
    EXPECT_EQ(Label(), "3");
    EXPECT_EQ(LastCorrectCount, 3);
    EXPECT_TRUE(m_sounds.empty());
}

TEST_F(CountTest, AnUnchangedCountLeavesTheLabelAlone)
{
    MakeCorrect(4);
    CountPass();
    m_sounds.clear();
    uint64_t changes = W().MyCorrect()->TextChangeCount();
    for (int pass = 0; pass < 5; ++pass)
        CountPass();
    EXPECT_EQ(W().MyCorrect()->TextChangeCount(), changes);
    EXPECT_TRUE(m_sounds.empty());
}

TEST_F(CountTest, SwappedAndTurnedPiecesAreWrongUntilRighted)
{
    Solve();
    Move(0, HomeLeft(1), HomeTop(1));
    Move(1, HomeLeft(0), HomeTop(0));
    Table().SetCell(2, ColumnRotation, "1");
    Table().SetCell(3, ColumnRotation, "-3");
    CountPass();
    EXPECT_EQ(Label(), "21");
    Table().SetCell(2, ColumnRotation, "0");
    CountPass();
    EXPECT_EQ(Label(), "22");
}

TEST_F(CountTest, TheLastPieceMakesOnePassPingApplaudAndStop)
{
    MakeCorrect(24);
    CountPass();
    m_sounds.clear();
    MoveHome(24);
    CountPass();
    EXPECT_EQ(Label(), "25");
    EXPECT_EQ(m_sounds, (std::vector<std::string> { "Ping.wav", "Applause.wav" }));
    EXPECT_EQ(W().CountEm()->Mode(), 0);
    // Pieces dragged away afterwards change nothing the player sees: no
    // tick reaches the stopped timer, and the label keeps "25". A running
    // timer would tick three times here and write "24".
    m_sounds.clear();
    Move(5, 600, 400);
    ProcessEventsFor(350);
    EXPECT_EQ(Label(), "25");
    EXPECT_EQ(LastCorrectCount, 25);
    EXPECT_TRUE(m_sounds.empty());
}

TEST_F(CountTest, AfterAFinishedGameTheNextGameStartsOnTheFallPath)
{
    Solve();
    CountPass();
    ASSERT_EQ(LastCorrectCount, 25);
    NewGame();
    EXPECT_EQ(Label(), "0");
    EXPECT_EQ(LastCorrectCount, 25);
    W().Canvas1()->SetBackdrop(m_board);
    Scramble();
    MakeCorrect(6);
    m_sounds.clear();
    CountPass();
    EXPECT_EQ(Label(), "6");
    EXPECT_TRUE(m_sounds.empty()) << "the first pass falls from 25";
    MakeCorrect(8);
    CountPass();
    EXPECT_EQ(Label(), "8");
    EXPECT_EQ(m_sounds, std::vector<std::string> { "Ping.wav" });

    // A second finished game, then a new one whose first pass finds every
    // piece home: the count equals the remembered 25, so the label keeps
    // "0", and since the label decides, counting goes on in silence.
    Solve();
    CountPass();
    ASSERT_EQ(W().CountEm()->Mode(), 0);
    NewGame();
    W().Canvas1()->SetBackdrop(m_board);
    Scramble();
    Solve();
    m_sounds.clear();
    CountPass();
    EXPECT_EQ(CorrectCount, 25);
    EXPECT_EQ(Label(), "0");
    EXPECT_TRUE(m_sounds.empty());
    EXPECT_EQ(W().CountEm()->Mode(), 2) << "the label does not read \"25\"";
    // Only a change of the count reaches the label, and then the end.
    Move(7, HomeLeft(7), HomeTop(7) + 1);
    CountPass();
    EXPECT_EQ(Label(), "24");
    MoveHome(7);
    CountPass();
    EXPECT_EQ(Label(), "25");
    EXPECT_EQ(m_sounds, (std::vector<std::string> { "Ping.wav", "Applause.wav" }));
    EXPECT_EQ(W().CountEm()->Mode(), 0);
}

TEST_F(CountTest, AfterNewMidGameAnEqualFirstCountLeavesTheLabelAtZero)
{
    NewGameAfterFourCounted();

    MakeCorrect(4);
    CountPass();
    EXPECT_EQ(Label(), "0") << "equal to the remembered count: label untouched";
    EXPECT_TRUE(m_sounds.empty());
    MakeCorrect(5);
    CountPass();
    EXPECT_EQ(Label(), "5");
    EXPECT_EQ(m_sounds, std::vector<std::string> { "Ping.wav" });

    // The other two first counts after the same history.
    for (int32_t first : { 2, 9 }) {
        SCOPED_TRACE(first);
        NewGameAfterFourCounted();
        MakeCorrect(first);
        CountPass();
        EXPECT_EQ(Label(), std::to_string(first));
        EXPECT_EQ(m_sounds.size(), first > 4 ? 1u : 0u);
    }
}

TEST_F(CountTest, AHalfBuiltTableSkipsThePass)
{
    MakeCorrect(5);
    Table().DeleteAllRows();
    Table().AddRow("0");
    EXPECT_NO_THROW(CountPass());
    EXPECT_EQ(Label(), "0");
    EXPECT_EQ(LastCorrectCount, 0);
}

TEST_F(CountTest, SoundsAreLoadedOnceAndKept)
{
    EXPECT_FALSE(PingLoaded);
    auto first = Ping();
    ASSERT_NE(first, nullptr) << "the build puts Ping.wav into Resources/";
    EXPECT_TRUE(PingLoaded);
    EXPECT_EQ(Ping(), first);
    EXPECT_NE(Applause(), nullptr);
}

// "Ping.wav" missing: the test runs a copy of this program from an
// application folder whose Resources/ lacks it. The copy finds no sound,
// then the file appears, and the accessor must still give nil: it looked
// once and never again. Meanwhile the game goes on.
constexpr const char* MissingPingVariable = "TAVRINE_TEST_MISSING_PING";

TEST_F(CountTest, MissingPingIsLookedForOnceAndTheGameGoesOn)
{
    namespace fs = std::filesystem;
    const char* folder = std::getenv(MissingPingVariable);
    if (!folder) {
        auto real = fw::ResourcesFolder();
        ASSERT_NE(real, nullptr);
        fs::path app = fs::temp_directory_path() / ("tavrine-missing-ping-" + std::to_string(getpid()));
        fs::remove_all(app);
        fs::create_directories(app / "bin");
        fs::create_directories(app / "Resources");
        fs::path self = fs::read_symlink("/proc/self/exe");
        fs::copy_file(self, app / "bin" / self.filename());
        fs::copy_file(fs::path(real->NativePath()) / "Applause.wav", app / "Resources" / "Applause.wav");
        // The picture plug-in library lies beside bin/ in the build.
        if (fs::exists(self.parent_path().parent_path() / "lib"))
            fs::create_directory_symlink(self.parent_path().parent_path() / "lib", app / "lib");
        std::string command = "timeout 90 env " + std::string(MissingPingVariable) + "='" + (app / "Resources").string() + "' '"
            + (app / "bin" / self.filename()).string()
            + "' --gtest_filter=CountTest.MissingPingIsLookedForOnceAndTheGameGoesOn > '"
            + (app / "log.txt").string() + "' 2>&1";
        int status = std::system(command.c_str());
        std::ifstream log(app / "log.txt");
        std::string output((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
        EXPECT_EQ(status, 0) << output;
        EXPECT_NE(output.find("[  PASSED  ] 1 test."), std::string::npos) << output;
        fs::remove_all(app);
        return;
    }

    // In the copy: Resources/ has no Ping.wav.
    MakeCorrect(3);
    CountPass();
    EXPECT_EQ(Label(), "3");
    EXPECT_TRUE(PingLoaded);
    EXPECT_EQ(PingSound, nullptr);
    EXPECT_TRUE(m_sounds.empty());

    std::filesystem::copy_file(std::filesystem::path(folder) / "Applause.wav",
        std::filesystem::path(folder) / "Ping.wav");
    EXPECT_EQ(Ping(), nullptr) << "a failed load is never repeated";
    Solve();
    CountPass();
    EXPECT_EQ(Label(), "25");
    EXPECT_EQ(W().CountEm()->Mode(), 0);
    EXPECT_EQ(m_sounds, std::vector<std::string> { "Applause.wav" });
}

} // namespace
} // namespace gametest
