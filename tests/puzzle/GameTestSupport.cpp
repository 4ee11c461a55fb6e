#include "GameTestSupport.h"

#include <cstdio>

#include "platform/Dialogs.h"
#include "platform/Files.h"
#include "platform/Graphics.h"
#include "platform/testsupport/InputDriver.h"
#include "platform/Window.h"

namespace gametest {

using namespace GameRules;

std::shared_ptr<fw::Picture> MakeBoardPicture()
{
    constexpr int32_t side = GridSize * TileSize;
    std::vector<uint32_t> pixels(size_t(side) * side);
    for (int32_t y = 0; y < side; ++y)
        for (int32_t x = 0; x < side; ++x)
            pixels[size_t(y) * side + x]
                = TilePixel(GridSize * (y / TileSize) + x / TileSize, x % TileSize, y % TileSize);
    return fw::PictureFromPixels(side, side, pixels);
}

std::string ComparePieceWithTile(const fw::Picture* picture, int32_t tile, int32_t code)
{
    if (!picture)
        return "piece has no picture";
    if (picture->Width() != TileSize || picture->Height() != TileSize)
        return "piece picture is " + std::to_string(picture->Width()) + "x" + std::to_string(picture->Height());
    int32_t differences = 0;
    std::string first;
    for (int32_t y = 0; y < TileSize; ++y) {
        for (int32_t x = 0; x < TileSize; ++x) {
            // The scratch-area label lies above the board's last two columns
            // (from window x 518), so what the screen shows there is its own.
            auto [u, v] = SourceInTile(code, x, y);
            if (tile % GridSize == GridSize - 1 && u >= 98)
                continue;
            uint32_t expected = TilePixel(tile, u, v);
            uint32_t actual = picture->Pixel(x, y);
            if (actual != expected && differences++ == 0) {
                char text[160];
                std::snprintf(text, sizeof text, "tile %d code %d: pixel (%d,%d) is %08X, expected %08X", tile,
                    code, x, y, actual, expected);
                first = text;
            }
        }
    }
    if (differences)
        return first + " (" + std::to_string(differences) + " pixels differ)";
    return "";
}

namespace {

// Windows still open when the tests end are closed while the framework is
// up; left to the exit handlers they would outlive the Qt application.
class CloseWindowsAtEnd : public ::testing::Environment {
public:
    void TearDown() override
    {
        // Nothing may wait for a player here.
        fw::Seams::ResetSeams();
        fw::Seams::SetMessageBoxAnswer([](const std::string&) {});
        fw::Seams::SetSoundRecorder([](const std::string&) {});
        for (const auto& window : fw::OpenWindows())
            window->Close();
    }
};

[[maybe_unused]] const auto* g_closeWindows = ::testing::AddGlobalTestEnvironment(new CloseWindowsAtEnd);

} // namespace

void EnsureProgramRunning()
{
    // Once per test program; every test then runs against the same App.
    [[maybe_unused]] static const bool running = [] {
        RegisterProgramClasses();
        InitModuleValues();
        fw::RuntimeRegisterAppObject(std::make_shared<App>());
        return true;
    }();
}

void GameTest::SetUp()
{
    EnsureProgramRunning();
    fw::Seams::ResetSeams();
    // The main window asks for a picture when it opens and at every "New";
    // the tests give the board its picture themselves.
    fw::Seams::SetOpenDialogAnswer([](const fw::OpenDialog&) { return std::shared_ptr<fw::FolderItem>(); });
    fw::Seams::SetMessageBoxAnswer([this](const std::string& text) { m_messages.push_back(text); });
    fw::Seams::SetSoundRecorder(
        [this](const std::string& path) { m_sounds.push_back(std::filesystem::path(path).filename().string()); });
    fw::Keyboard::ResetState();

    InitModuleValues();
    Seed(1);
    ScaleFactor = 1;
    UseRotation = false;

    m_window = Window1Instance();
    NewGame();
    m_board = MakeBoardPicture();
    W().Canvas1()->SetBackdrop(m_board);
    m_sounds.clear();
    m_messages.clear();
}

void GameTest::TearDown()
{
    fw::Seams::ResetSeams();
    fw::Keyboard::ResetState();
}

void GameTest::ProcessEventsFor(int milliseconds)
{
    fw::Input::ProcessEvents(milliseconds);
}

void GameTest::Seed(uint64_t seed)
{
    fw::SeedFrameworkRandomness(seed);
    Rnd = std::make_shared<fw::Random>();
}

void GameTest::Solve()
{
    for (int32_t i = 0; i < Pieces; ++i) {
        MoveHome(i);
        Table().SetCell(i, ColumnRotation, "0");
    }
}

void GameTest::MakeCorrect(int32_t n)
{
    Solve();
    for (int32_t i = n; i < Pieces; ++i)
        Move(i, HomeLeft(i) + 1, HomeTop(i));
}

} // namespace gametest
