// Start-up of the game with a huge settings file against start-up with a
// normal one: a 3 GiB file must cost next to nothing, in time and in memory,
// because reading stops at the bounds instead of taking the file in. Two
// shapes of file are tried: one endless line (a sparse file, all NULs) and
// millions of short directive lines. The two runs alternate, round by round,
// so a busy machine slows both alike; each run is a real process, timed from
// spawn to exit (main window shown, first picture dialog answered), its peak
// memory from the kernel.
//
// Targets: median start-up with a huge file within 1.1 times the normal one,
// and its peak memory no more than 10 MB above.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

extern char** environ;

namespace {

namespace fs = std::filesystem;

struct Run {
    double Seconds = 0;
    double PeakMegabytes = 0;
    bool Ok = false;
};

// Runs the game once with its settings in `config`.
Run RunGame(const fs::path& config)
{
    const std::string game = (fs::canonical("/proc/self/exe").parent_path() / "tavrine").string();
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        std::string entry = *e;
        if (entry.rfind("XDG_CONFIG_HOME=", 0) != 0 && entry.rfind("QT_QPA_PLATFORM=", 0) != 0)
            env.push_back(entry);
    }
    env.push_back("XDG_CONFIG_HOME=" + config.string());
    env.push_back("QT_QPA_PLATFORM=offscreen");
    env.push_back("TAVRINE_TEST_OPEN_DIALOG=cancel");
    env.push_back("TAVRINE_TEST_QUIT_WHEN_SHOWN=1");
    std::vector<char*> envp;
    for (auto& entry : env)
        envp.push_back(entry.data());
    envp.push_back(nullptr);
    std::string arg0 = game;
    char* argv[] = { arg0.data(), nullptr };

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    Run run;
    const auto start = std::chrono::steady_clock::now();
    pid_t child = 0;
    int spawned = posix_spawn(&child, game.c_str(), &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return run;
    int status = 0;
    rusage usage {};
    if (wait4(child, &status, 0, &usage) != child)
        return run;
    run.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.PeakMegabytes = double(usage.ru_maxrss) / 1024.0; // ru_maxrss is in KiB
    run.Ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return run;
}

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

const std::string Saved = "#Window1Position 100,100\n#UseRotation False\n#ScaleFactor 1\n";
constexpr unsigned long long HugeBytes = 3ULL << 30;

// Times start-up with the normal settings against start-up with the file
// that `putHuge` puts at the path it is given, round by round.
void CompareStartups(benchmark::State& state, const fs::path& root, void (*putHuge)(const fs::path&, const fs::path&))
{
    const fs::path normal = root / "normal";
    const fs::path huge = root / "huge";
    fs::create_directories(normal);
    fs::create_directories(huge);

    std::vector<double> normalSeconds, hugeSeconds, normalPeak, hugePeak;
    int round = 0;
    for (auto _ : state) {
        // The game saves its settings when it quits, so both files are put
        // back before every run.
        std::ofstream(normal / "tavrine2.txt", std::ios::trunc) << Saved;
        putHuge(root, huge / "tavrine2.txt");

        // Alternate which goes first, so neither always meets a warmer cache.
        Run a, b;
        if (round++ % 2 == 0) {
            a = RunGame(normal);
            b = RunGame(huge);
        } else {
            b = RunGame(huge);
            a = RunGame(normal);
        }
        if (!a.Ok || !b.Ok) {
            state.SkipWithError("the game did not start and quit cleanly");
            break;
        }
        state.SetIterationTime(b.Seconds);
        normalSeconds.push_back(a.Seconds);
        hugeSeconds.push_back(b.Seconds);
        normalPeak.push_back(a.PeakMegabytes);
        hugePeak.push_back(b.PeakMegabytes);
    }
    std::error_code ignored;
    fs::remove_all(root, ignored);
    if (normalSeconds.empty())
        return;
    const double normalMedian = Median(normalSeconds);
    const double hugeMedian = Median(hugeSeconds);
    state.counters["normal_ms"] = normalMedian * 1000;
    state.counters["huge_ms"] = hugeMedian * 1000;
    state.counters["time_ratio"] = hugeMedian / normalMedian;
    state.counters["normal_peak_MB"] = Median(normalPeak);
    state.counters["huge_peak_MB"] = Median(hugePeak);
    state.counters["peak_growth_MB"] = Median(hugePeak) - Median(normalPeak);
    state.counters["time_target_met"] = hugeMedian <= 1.1 * normalMedian ? 1 : 0;
    state.counters["memory_target_met"] = Median(hugePeak) - Median(normalPeak) < 10 ? 1 : 0;
}

fs::path BenchRoot(const char* name)
{
    return fs::temp_directory_path() / ("tavrine-bench-" + std::string(name) + "-" + std::to_string(getpid()));
}

// The same settings followed by a sparse tail: one endless line of NULs.
void BM_StartupWithHugeSettingsFile(benchmark::State& state)
{
    CompareStartups(state, BenchRoot("sparse"), [](const fs::path&, const fs::path& file) {
        {
            std::ofstream(file, std::ios::trunc) << Saved;
        }
        fs::resize_file(file, HugeBytes);
    });
}

// The same settings followed by "#a b" lines up to 3 GiB. The file is written
// once and linked into place before every run: the game's save replaces the
// name, never the file behind it.
void BM_StartupWithManyShortDirectives(benchmark::State& state)
{
    const fs::path root = BenchRoot("lines");
    fs::create_directories(root);
    const fs::path master = root / "many-directives.txt";
    {
        std::ofstream out(master, std::ios::binary | std::ios::trunc);
        out << Saved;
        std::string block;
        while (block.size() < (1 << 20))
            block += "#a b\n";
        for (unsigned long long written = Saved.size(); written < HugeBytes; written += block.size())
            out.write(block.data(), std::streamsize(block.size()));
        if (!out.flush()) {
            state.SkipWithError("could not write the 3 GiB settings file");
            return;
        }
    }
    CompareStartups(state, root, [](const fs::path& root, const fs::path& file) {
        fs::remove(file);
        fs::create_hard_link(root / "many-directives.txt", file);
    });
}

} // namespace

BENCHMARK(BM_StartupWithHugeSettingsFile)->Iterations(61)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StartupWithManyShortDirectives)->Iterations(61)->UseManualTime()->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
