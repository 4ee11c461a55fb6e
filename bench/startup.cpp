// Time from process start to the main window shown, for the game (its first
// picture dialog answered at once) and, side by side, for a minimal Qt Widgets
// program that shows one empty window.
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <benchmark/benchmark.h>

namespace {

std::filesystem::path BinDir()
{
    return std::filesystem::canonical("/proc/self/exe").parent_path();
}

void RunCommand(benchmark::State& state, const std::string& command)
{
    for (auto _ : state) {
        int status = std::system(command.c_str());
        if (status != 0) {
            state.SkipWithError(("command failed: " + command).c_str());
            return;
        }
    }
}

void BM_GameToMainWindowShown(benchmark::State& state)
{
    auto config = std::filesystem::temp_directory_path() / "tavrine-bench-startup";
    std::filesystem::create_directories(config);
    RunCommand(state,
        "env QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME=" + config.string()
            + " TAVRINE_TEST_OPEN_DIALOG=cancel TAVRINE_TEST_QUIT_WHEN_SHOWN=1 " + (BinDir() / "tavrine").string()
            + " 2>/dev/null");
}

void BM_MinimalQtWindowShown(benchmark::State& state)
{
    RunCommand(state, "env QT_QPA_PLATFORM=offscreen " + (BinDir() / "minimal_window").string() + " 2>/dev/null");
}

} // namespace

BENCHMARK(BM_GameToMainWindowShown)->Unit(benchmark::kMillisecond)->Repetitions(10)->ReportAggregatesOnly(true);
BENCHMARK(BM_MinimalQtWindowShown)->Unit(benchmark::kMillisecond)->Repetitions(10)->ReportAggregatesOnly(true);

BENCHMARK_MAIN();
