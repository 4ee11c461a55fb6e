// Brings the framework up headless before any test runs, with a private
// settings folder so no test touches the user's real one.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "platform/Application.h"

namespace {

// Every test gets a deadline, whatever it waits for: one that runs longer
// ends the run with its name, rather than leaving it to the test runner's
// limit with no word of where it stopped.
constexpr std::chrono::seconds TestLimit { 120 };

class Watchdog : public testing::EmptyTestEventListener {
public:
    // The thread is never joined: it runs until the process ends, after
    // gtest has deleted this listener, so what it reads lives in statics that
    // are never freed.
    Watchdog()
    {
        std::thread(&Watchdog::Watch).detach();
    }

    void OnTestStart(const testing::TestInfo& test) override
    {
        const std::string name = std::string(test.test_suite_name()) + "." + test.name();
        std::snprintf(s_name, sizeof s_name, "%s", name.c_str());
        s_started.store(Now());
    }
    void OnTestEnd(const testing::TestInfo&) override { s_started.store(0); }

private:
    static int64_t Now()
    {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }

    [[noreturn]] static void Watch()
    {
        for (;;) {
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
            const int64_t started = s_started.load();
            if (started && Now() - started > std::chrono::milliseconds(TestLimit).count()) {
                std::fprintf(stderr, "\n%s has run for more than %lld s: stopped; something it waits for never came\n",
                    s_name, static_cast<long long>(TestLimit.count()));
                std::fflush(stderr);
                std::_Exit(3);
            }
        }
    }

    static inline std::atomic<int64_t> s_started { 0 };
    static inline char s_name[512] = {};
};

} // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new Watchdog);
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    auto config = std::filesystem::temp_directory_path() / ("tavrine-tests-" + std::to_string(getpid()));
    std::filesystem::create_directories(config);
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    fw::RuntimeInit(argc, argv);
    int result = RUN_ALL_TESTS();
    // Windows still open are released while the framework is up, not by the
    // exit handlers after the Qt application is gone.
    fw::RuntimeResetForTests();
    fw::RuntimeExit();
    std::error_code ignored;
    std::filesystem::remove_all(config, ignored);
    return result;
}
