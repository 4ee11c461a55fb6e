// The game's timer passes and "Scramble" beside a render of the whole main
// window. Each timer pass should take under a thousandth of its period (50 us
// for snapping, 100 us for counting); a scramble under three window renders.
#include <cstdlib>
#include <memory>

#include <benchmark/benchmark.h>

#include "OffscreenGame.h"
#include "app/App.h"
#include "app/ModuleValues.h"
#include "platform/Application.h"
#include "platform/Canvas.h"
#include "platform/Dialogs.h"
#include "platform/Graphics.h"
#include "platform/testsupport/InputDriver.h"
#include "platform/Listbox.h"
#include "platform/Picture.h"
#include "platform/testsupport/JpegWriter.h"
#include "platform/PushButton.h"
#include "platform/Random.h"
#include "platform/Seams.h"
#include "platform/Timer.h"
#include "puzzle/DraggableCanvas.h"
#include "puzzle/GameRules.h"
#include "puzzle/PicturePlugins.h"
#include "puzzle/PieceTable.h"
#include "puzzle/Window1.h"

namespace {

using namespace GameRules;

std::shared_ptr<fw::Picture> g_board;

// A board picture with some detail: a smaller picture of text drawn scaled.
std::shared_ptr<fw::Picture> MakeBoard()
{
    auto small = fw::NewPicture(50, 50, 32);
    auto g = small->GetGraphics();
    g->SetForeColor(fw::RGB(200, 30, 90));
    g->DrawString("Tavrine", 2, 30);
    auto board = fw::NewPicture(500, 500, 32);
    board->GetGraphics()->DrawPicture(small, 0, 0, 500, 500, 0, 0, 50, 50);
    return board;
}

Window1& Game()
{
    return *Window1Instance();
}

// Puts every piece upright on its own home: the pass then does the most work.
void SolveBoard(int32_t correct)
{
    auto& w = Game();
    auto& table = *w.LB1();
    for (int32_t i = 0; i < PieceCount; ++i) {
        w.Snaps(i)->SetLeft(HomeLeft(i) + (i < correct ? 0 : 1));
        w.Snaps(i)->SetTop(HomeTop(i));
        table.SetCell(i, ColumnRotation, "0");
    }
}

void StartGame()
{
    auto& w = Game();
    w.MyNew_Action(*w.MyNew());
    w.Canvas1()->SetBackdrop(g_board);
    w.MyScramble_Action(*w.MyScramble());
    fw::Input::ProcessEvents(0);
}

void BM_SnapPass(benchmark::State& state)
{
    StartGame();
    SolveBoard(PieceCount);
    auto& w = Game();
    for (auto _ : state)
        w.Timer1_Action(*w.Timer1());
}
BENCHMARK(BM_SnapPass)->Unit(benchmark::kMicrosecond);

void BM_CountPass(benchmark::State& state)
{
    // 24 pieces correct and the count already shown: every piece is read in
    // full and the label stays as it is, as on most ticks of a game.
    StartGame();
    SolveBoard(PieceCount - 1);
    auto& w = Game();
    w.CountEm_Action(*w.CountEm());
    for (auto _ : state)
        w.CountEm_Action(*w.CountEm());
}
BENCHMARK(BM_CountPass)->Unit(benchmark::kMicrosecond);

void BM_Scramble(benchmark::State& state)
{
    ScaleFactor = int32_t(state.range(0));
    UseRotation = state.range(1) != 0;
    auto& w = Game();
    for (auto _ : state) {
        state.PauseTiming();
        w.MyNew_Action(*w.MyNew());
        w.Canvas1()->SetBackdrop(g_board);
        // The player presses "Scramble" on a window that shows the picture.
        fw::Input::ProcessEvents(0);
        state.ResumeTiming();
        w.MyScramble_Action(*w.MyScramble());
    }
    UseRotation = false;
    ScaleFactor = 1;
}
BENCHMARK(BM_Scramble)
    ->ArgsProduct({ { 1, 2 }, { 0, 1 } })
    ->ArgNames({ "ScaleFactor", "Rotate" })
    ->Unit(benchmark::kMillisecond);

// The parts of a scramble, to show where its time goes.
void BM_ScrambleStep_Capture(benchmark::State& state)
{
    StartGame();
    auto& w = Game();
    int32_t side = int32_t(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(ScreenshotRectMBS(w.Left() + 220, w.Top() + 220, side, side));
}
BENCHMARK(BM_ScrambleStep_Capture)->Arg(100)->Arg(200)->ArgName("side")->Unit(benchmark::kMicrosecond);

void BM_ScrambleStep_ScaleDown(benchmark::State& state)
{
    auto capture = fw::NewPicture(200, 200, 32);
    capture->GetGraphics()->DrawPicture(g_board, 0, 0, 200, 200, 0, 0, 200, 200);
    for (auto _ : state) {
        auto piece = fw::NewPicture(100, 100, 32);
        piece->GetGraphics()->DrawPicture(capture, 0, 0, 100, 100, 0, 0, 200, 200);
        benchmark::DoNotOptimize(piece);
    }
}
BENCHMARK(BM_ScrambleStep_ScaleDown)->Unit(benchmark::kMicrosecond);

void BM_ScrambleStep_QuarterTurn(benchmark::State& state)
{
    auto piece = fw::NewPicture(100, 100, 32);
    for (auto _ : state)
        benchmark::DoNotOptimize(Rotate270MBS(piece));
}
BENCHMARK(BM_ScrambleStep_QuarterTurn)->Unit(benchmark::kMicrosecond);

void BM_ScrambleStep_ResetTable(benchmark::State& state)
{
    for (auto _ : state)
        ResetPieceTable();
}
BENCHMARK(BM_ScrambleStep_ResetTable)->Unit(benchmark::kMicrosecond);

void BM_RenderWindow(benchmark::State& state)
{
    StartGame();
    auto& w = Game();
    for (auto _ : state)
        benchmark::DoNotOptimize(fw::GrabWindow(w));
}
BENCHMARK(BM_RenderWindow)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    StartOffscreenGame(argc, argv);
    fw::RuntimeRegisterAppObject(std::make_shared<App>());
    fw::Seams::SetOpenDialogAnswer([](const fw::OpenDialog&) { return std::shared_ptr<fw::FolderItem>(); });
    fw::Seams::SetMessageBoxAnswer([](const std::string&) {});
    fw::Seams::SetSoundRecorder([](const std::string&) {});
    fw::SeedFrameworkRandomness(1);
    Rnd = std::make_shared<fw::Random>();
    ScaleFactor = 1;
    g_board = MakeBoard();
    Window1Instance();

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
