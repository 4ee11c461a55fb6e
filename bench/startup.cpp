// Start-up as the player meets it, against a minimal Qt Widgets program that
// shows one empty window:
//   FirstWindow  the game's first window, the "Tavrine Image" open dialog,
//                built and shown (then cancelled by the game's test seam);
//   MainWindow   the game's main window, the dialog answered without being
//                built;
//   MinimalQt    the minimal program's window.
// Each time runs from just before the process is started until the process
// reports its window on the screen and painted; its shut-down is not timed.
// The three are measured in interleaved rounds (random interleaving of the
// repetitions), so a machine that gets busier part-way through weighs on all
// of them alike. At the end the medians are compared: the main window should
// take at most 1.5 times, the first window at most 1.8 times the minimal one.
//
// The open dialog shows the folder the game is started in (then the last one
// it showed), so every run starts in the same made-up pictures folder: a
// dozen JPEG files and two sub-folders, wherever the benchmark is run from.
//
// Needs a real X server. With DISPLAY set it uses that one, e.g.
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/bin/bench_startup
// (start a window manager in the session to include its work); without
// DISPLAY it starts a private Xvfb itself and stops it at the end.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

// No run may hang the benchmark: a start-up that takes longer has failed.
constexpr auto ShownDeadline = std::chrono::seconds(20);
constexpr auto ExitDeadline = std::chrono::seconds(20);

std::filesystem::path BinDir()
{
    return std::filesystem::canonical("/proc/self/exe").parent_path();
}

std::filesystem::path g_config;
std::filesystem::path g_pictures;

// The environment of a run: ours, on the X server, with the given additions.
std::vector<std::string> Environment(const std::vector<std::string>& extra)
{
    std::vector<std::string> result;
    for (char** entry = environ; *entry; ++entry) {
        const std::string text = *entry;
        if (text.rfind("QT_QPA_PLATFORM=", 0) == 0 || text.rfind("TAVRINE_TEST_", 0) == 0
            || text.rfind("XDG_CONFIG_HOME=", 0) == 0)
            continue;
        result.push_back(text);
    }
    result.push_back("QT_QPA_PLATFORM=xcb");
    result.push_back("XDG_CONFIG_HOME=" + g_config.string());
    result.insert(result.end(), extra.begin(), extra.end());
    return result;
}

struct Child {
    pid_t Pid = -1;
    int Errors = -1; // read end of the child's standard error
};

Child Spawn(const std::string& program, const std::vector<std::string>& environment)
{
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addchdir_np(&actions, g_pictures.c_str());
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 2);
    std::vector<char*> argv { const_cast<char*>(program.c_str()), nullptr };
    std::vector<char*> envp;
    for (const auto& entry : environment)
        envp.push_back(const_cast<char*>(entry.c_str()));
    envp.push_back(nullptr);
    Child child;
    const int failed = posix_spawn(&child.Pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    if (failed) {
        close(pipeEnds[0]);
        throw std::runtime_error("cannot start " + program);
    }
    child.Errors = pipeEnds[0];
    return child;
}

// Reads the child's standard error until a line starting with `prefix`
// arrives (true) or the stream ends or the deadline passes (false). Keeps
// what was read in `text`.
bool WaitForLine(int fd, const std::string& prefix, Clock::time_point deadline, std::string& text)
{
    size_t scanned = 0;
    for (;;) {
        size_t end;
        while ((end = text.find('\n', scanned)) != std::string::npos) {
            if (text.compare(scanned, prefix.size(), prefix) == 0)
                return true;
            scanned = end + 1;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0)
            return false;
        pollfd ready { fd, POLLIN, 0 };
        if (poll(&ready, 1, int(left)) <= 0)
            continue;
        char buffer[4096];
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got <= 0)
            return false;
        text.append(buffer, size_t(got));
    }
}

// Waits for the child to end (its pipe closes), killing it at the deadline.
// Returns its exit status, or -1 when it did not end by itself.
int Reap(Child& child, std::string& text)
{
    const auto deadline = Clock::now() + ExitDeadline;
    WaitForLine(child.Errors, "\x01never", deadline, text);
    close(child.Errors);
    // The pipe closes a moment before the process can be reaped.
    int status = 0;
    while (waitpid(child.Pid, &status, WNOHANG) == 0) {
        if (Clock::now() > deadline) {
            kill(child.Pid, SIGKILL);
            waitpid(child.Pid, &status, 0);
            return -1;
        }
        usleep(200);
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void TimeStartUp(benchmark::State& state, const std::string& program, const std::vector<std::string>& extra)
{
    const auto environment = Environment(extra);
    for (auto _ : state) {
        std::string text;
        Child child = Spawn(program, environment);
        const bool shown = WaitForLine(child.Errors, "shown: ", Clock::now() + ShownDeadline, text);
        state.PauseTiming();
        const int status = Reap(child, text);
        if (!shown || status != 0) {
            state.SkipWithError((program + (shown ? " did not quit cleanly: " : " showed no window: ") + text).c_str());
            break;
        }
        state.ResumeTiming();
    }
}

void BM_FirstWindow_Game(benchmark::State& state)
{
    TimeStartUp(state, (BinDir() / "tavrine").string(),
        { "TAVRINE_TEST_OPEN_DIALOG=cancel-when-shown", "TAVRINE_TEST_QUIT_WHEN_SHOWN=1" });
}

void BM_MainWindow_Game(benchmark::State& state)
{
    TimeStartUp(state, (BinDir() / "tavrine").string(),
        { "TAVRINE_TEST_OPEN_DIALOG=cancel", "TAVRINE_TEST_QUIT_WHEN_SHOWN=1" });
}

void BM_MinimalQt(benchmark::State& state)
{
    TimeStartUp(state, (BinDir() / "minimal_window").string(), {});
}

double Smallest(const std::vector<double>& values)
{
    return values.empty() ? 0 : *std::min_element(values.begin(), values.end());
}

double Largest(const std::vector<double>& values)
{
    return values.empty() ? 0 : *std::max_element(values.begin(), values.end());
}

// Twenty rounds of a few starts each: about 180 process starts, under a
// minute on an idle machine. A busy spell on a shared machine lands on a few
// rounds, and with twenty the medians keep clear of it.
void Configure(benchmark::internal::Benchmark* b)
{
    b->UseRealTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(3)
        ->Repetitions(20)
        ->ComputeStatistics("min", Smallest)
        ->ComputeStatistics("max", Largest);
}

BENCHMARK(BM_FirstWindow_Game)->Apply(Configure);
BENCHMARK(BM_MainWindow_Game)->Apply(Configure);
BENCHMARK(BM_MinimalQt)->Apply(Configure);

// Keeps each benchmark's median, to compare them once all rounds are done.
class MedianReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const auto& run : runs) {
            if (run.run_type == Run::RT_Aggregate && !run.error_occurred)
                Aggregates[run.run_name.function_name][run.aggregate_name] = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, std::map<std::string, double>> Aggregates;
};

// A private X server for the run when none is given; stopped at the end.
struct PrivateServer {
    pid_t Pid = -1;

    void Start()
    {
        int pipeEnds[2];
        if (pipe(pipeEnds) != 0)
            throw std::runtime_error("pipe failed");
        const std::string fd = std::to_string(pipeEnds[1]);
        std::vector<std::string> args { "Xvfb", "-displayfd", fd, "-screen", "0", "1280x1024x24", "-nolisten", "tcp" };
        std::vector<char*> argv;
        for (auto& arg : args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
        const int failed = posix_spawnp(&Pid, "Xvfb", &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(pipeEnds[1]);
        if (failed)
            throw std::runtime_error("no DISPLAY, and Xvfb cannot be started");
        std::string number;
        if (!WaitForLine(pipeEnds[0], "", Clock::now() + std::chrono::seconds(10), number) || number.empty()
            || number[0] < '0' || number[0] > '9')
            throw std::runtime_error("Xvfb did not start");
        close(pipeEnds[0]);
        setenv("DISPLAY", (":" + number.substr(0, number.find('\n'))).c_str(), 1);
    }

    ~PrivateServer()
    {
        if (Pid > 0) {
            kill(Pid, SIGTERM);
            waitpid(Pid, nullptr, 0);
        }
    }
};

} // namespace

int main(int argc, char** argv)
{
    // Rounds interleaved unless the command line says otherwise.
    std::vector<char*> args(argv, argv + argc);
    std::string interleave = "--benchmark_enable_random_interleaving=true";
    args.insert(args.begin() + 1, interleave.data());
    int count = int(args.size());
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data()))
        return 1;

    PrivateServer server;
    const char* display = std::getenv("DISPLAY");
    try {
        if (!display || !*display)
            server.Start();
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "%s\n", failure.what());
        return 1;
    }
    g_config = std::filesystem::temp_directory_path() / ("tavrine-bench-startup-" + std::to_string(getpid()));
    std::filesystem::create_directories(g_config);
    g_pictures = g_config / "Pictures";
    for (const char* folder : { "Holidays", "Family" })
        std::filesystem::create_directories(g_pictures / folder);
    for (int number = 1; number <= 12; ++number) {
        // Named and sized like photographs; the dialog reads no content.
        std::FILE* file = std::fopen((g_pictures / ("photo" + std::to_string(number) + ".jpg")).c_str(), "wb");
        if (!file) {
            std::fprintf(stderr, "cannot write the pictures folder in %s\n", g_config.c_str());
            return 1;
        }
        std::fseek(file, 2'000'000 + number * 1000, SEEK_SET);
        std::fputc(0, file);
        std::fclose(file);
    }

    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    std::error_code ignored;
    std::filesystem::remove_all(g_config, ignored);

    auto& results = reporter.Aggregates;
    const double minimal = results["BM_MinimalQt"]["median"];
    if (minimal <= 0) {
        std::printf("no time for the minimal Qt window: nothing to compare with\n");
        return 1;
    }
    struct Target {
        const char* Name;
        const char* Label;
        double Limit;
    };
    int failures = 0;
    for (const Target& target : { Target { "BM_FirstWindow_Game", "first window (open dialog)", 1.8 },
             Target { "BM_MainWindow_Game", "main window", 1.5 } }) {
        if (!results.count(target.Name))
            continue;
        auto& game = results[target.Name];
        const double ratio = game["median"] / minimal;
        std::printf("%-27s median %6.1f ms (min %6.1f, max %6.1f) = %.2f x minimal Qt window %.1f ms "
                    "(min %.1f, max %.1f); target %.1f x: %s\n",
            target.Label, game["median"], game["min"], game["max"], ratio, minimal, results["BM_MinimalQt"]["min"],
            results["BM_MinimalQt"]["max"], target.Limit, ratio <= target.Limit ? "met" : "MISSED");
        failures += ratio > target.Limit;
    }
    return failures ? 2 : 0;
}
