// The real executable on a real X server: every way out of the program ends
// with its own exit status, never with a crash. What goes wrong on the way
// out is a matter of timing (a thread still busy while the exit handlers
// run), so each way is taken many times.
//
// The X server is a private Xvfb that scripts/test starts and names in
// TAVRINE_TEST_X_DISPLAY; xdotool plays the player's keys and cuts the
// program's connection to the server.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr auto ExitDeadline = std::chrono::seconds(20);
constexpr auto WindowDeadline = std::chrono::seconds(20);

std::string Variable(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string ReadWholeFile(const fs::path& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// One start of the game with its own settings folder and error log.
class GameProcess {
public:
    GameProcess(const fs::path& executable, const fs::path& folder, const std::string& display,
        const std::vector<std::string>& extra)
        : m_log(folder / "stderr.txt")
    {
        std::vector<std::string> environment;
        for (char** entry = environ; *entry; ++entry) {
            const std::string text = *entry;
            if (text.rfind("DISPLAY=", 0) == 0 || text.rfind("QT_QPA_PLATFORM=", 0) == 0
                || text.rfind("TAVRINE_TEST_", 0) == 0 || text.rfind("XDG_CONFIG_HOME=", 0) == 0)
                continue;
            environment.push_back(text);
        }
        environment.push_back("DISPLAY=" + display);
        environment.push_back("QT_QPA_PLATFORM=xcb");
        environment.push_back("XDG_CONFIG_HOME=" + folder.string());
        environment.insert(environment.end(), extra.begin(), extra.end());
        std::vector<char*> envp;
        for (auto& text : environment)
            envp.push_back(text.data());
        envp.push_back(nullptr);

        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, m_log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        std::string path = executable.string();
        char* argv[] = { path.data(), nullptr };
        if (posix_spawn(&m_pid, path.c_str(), &actions, nullptr, argv, envp.data()) != 0)
            m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
    }

    ~GameProcess()
    {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
    }

    pid_t Pid() const { return m_pid; }

    // "exit N", "signal N", or "hung" when it had not ended by the deadline
    // (it is then killed).
    std::string Wait()
    {
        if (m_pid <= 0)
            return "not started";
        const auto deadline = Clock::now() + ExitDeadline;
        int status = 0;
        for (;;) {
            const pid_t done = ::waitpid(m_pid, &status, WNOHANG);
            if (done == m_pid)
                break;
            if (done < 0 || Clock::now() > deadline) {
                ::kill(m_pid, SIGKILL);
                ::waitpid(m_pid, nullptr, 0);
                m_pid = -1;
                return "hung";
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        m_pid = -1;
        if (WIFEXITED(status))
            return "exit " + std::to_string(WEXITSTATUS(status));
        return "signal " + std::to_string(WTERMSIG(status));
    }

    std::string Errors() const { return ReadWholeFile(m_log); }

private:
    fs::path m_log;
    pid_t m_pid = -1;
};

class ExitPathsTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_display = Variable("TAVRINE_TEST_X_DISPLAY");
        if (Variable("TAVRINE_BINARY_DIR").empty() || m_display.empty())
            GTEST_SKIP() << "needs the build (TAVRINE_BINARY_DIR, set by ctest) and a private X server "
                            "(TAVRINE_TEST_X_DISPLAY, started by scripts/test)";
        m_root = fs::temp_directory_path() / ("tavrine-exits-" + std::to_string(getpid()));
        fs::remove_all(m_root);
        fs::create_directories(m_root / "config");
    }

    void TearDown() override
    {
        if (!m_root.empty())
            fs::remove_all(m_root);
    }

    fs::path Executable() const { return fs::path(Variable("TAVRINE_BINARY_DIR")) / "bin" / "tavrine"; }

    // Starts the game `runs` times, lets `during` act on each run, and counts
    // how the runs ended. The errors of the first run that ended otherwise
    // than `expected` are kept for the failure message.
    std::map<std::string, int> Tally(int runs, const fs::path& executable, const std::vector<std::string>& extra,
        const std::string& expected, const std::function<void(GameProcess&)>& during = {})
    {
        std::map<std::string, int> outcomes;
        for (int run = 0; run < runs; ++run) {
            GameProcess game(executable, m_root / "config", m_display, extra);
            if (during)
                during(game);
            // The game did not get as far as `during` needed: it is killed
            // here rather than waited for.
            if (HasFatalFailure())
                break;
            const std::string outcome = game.Wait();
            ++outcomes[outcome];
            if (outcome != expected && m_firstUnexpected.empty())
                m_firstUnexpected = outcome + " in run " + std::to_string(run + 1) + ":\n" + game.Errors();
            m_lastErrors = game.Errors();
        }
        return outcomes;
    }

    // The game's visible top-level window of this exact title, or "" when it
    // has not shown by the deadline.
    std::string WaitForWindow(const GameProcess& game, const std::string& title)
    {
        const auto deadline = Clock::now() + WindowDeadline;
        while (Clock::now() < deadline) {
            std::string found = Xdotool("search --all --onlyvisible --pid " + std::to_string(game.Pid()) + " --name '^"
                + title + "$'");
            if (size_t end = found.find('\n'); end != std::string::npos)
                return found.substr(0, end);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return "";
    }

    // Runs xdotool on the private server; its standard output.
    std::string Xdotool(const std::string& arguments)
    {
        const std::string command = "env DISPLAY=" + m_display + " timeout 10 xdotool " + arguments + " 2>/dev/null";
        std::string output;
        if (FILE* pipe = ::popen(command.c_str(), "r")) {
            char buffer[256];
            while (std::fgets(buffer, sizeof buffer, pipe))
                output += buffer;
            ::pclose(pipe);
        }
        return output;
    }

    std::string m_display;
    fs::path m_root;
    std::string m_firstUnexpected;
    std::string m_lastErrors;
};

using Outcomes = std::map<std::string, int>;

// A copied application folder without its picture library: the message
// names the library and the folder, and the program ends with status 1.
TEST_F(ExitPathsTest, AMissingLibraryEndsStartUpWithStatusOne)
{
    const fs::path app = m_root / "Tavrine";
    fs::create_directories(app / "bin");
    fs::copy_file(Executable(), app / "bin" / "tavrine");
    fs::copy(Executable().parent_path().parent_path() / "Resources", app / "Resources", fs::copy_options::recursive);
    fs::copy(Executable().parent_path().parent_path() / "lib", app / "lib", fs::copy_options::recursive);
    fs::remove(app / "lib" / "libtavrine_pictures.so");

    const Outcomes outcomes
        = Tally(200, app / "bin" / "tavrine", { "TAVRINE_TEST_MESSAGES=1" }, "exit 1");
    EXPECT_EQ(outcomes, (Outcomes { { "exit 1", 200 } })) << m_firstUnexpected;
    EXPECT_NE(m_lastErrors.find("message: The plug-in library libtavrine_pictures.so is missing: it is not in "
                  + (app / "lib").string() + ". "),
        std::string::npos)
        << m_lastErrors;
}

// The game quits the moment its main window is on the screen.
TEST_F(ExitPathsTest, AQuitAsSoonAsTheWindowShowsEndsWithStatusZero)
{
    const Outcomes outcomes = Tally(200, Executable(),
        { "TAVRINE_TEST_MESSAGES=1", "TAVRINE_TEST_OPEN_DIALOG=cancel", "TAVRINE_TEST_QUIT_WHEN_SHOWN=1" }, "exit 0");
    EXPECT_EQ(outcomes, (Outcomes { { "exit 0", 200 } })) << m_firstUnexpected;
}

// The player cancels the real open dialog with Escape, then quits with
// Ctrl+Q: status 0, and the settings are written on the way out.
TEST_F(ExitPathsTest, CancellingTheFirstDialogThenCtrlQEndsWithStatusZero)
{
    const Outcomes outcomes = Tally(10, Executable(), {}, "exit 0", [this](GameProcess& game) {
        const std::string dialog = WaitForWindow(game, "Tavrine Image");
        ASSERT_NE(dialog, "") << game.Errors();
        Xdotool("windowfocus --sync " + dialog + " key Escape");
        const std::string main = WaitForWindow(game, "Tavrine");
        ASSERT_NE(main, "") << game.Errors();
        Xdotool("windowfocus --sync " + main + " key ctrl+q");
    });
    EXPECT_EQ(outcomes, (Outcomes { { "exit 0", 10 } })) << m_firstUnexpected;
    const std::string settings = ReadWholeFile(m_root / "config" / "tavrine2.txt");
    EXPECT_NE(settings.find("#UseRotation False\n#ScaleFactor 1\n"), std::string::npos) << settings;
}

// The connection to the X server is cut, by turns while the first dialog is
// up and once the main window shows: Qt ends the program with status 1.
TEST_F(ExitPathsTest, ALostDisplayEndsWithStatusOne)
{
    int run = 0;
    const Outcomes outcomes = Tally(100, Executable(), {}, "exit 1", [&](GameProcess& game) {
        std::string window = WaitForWindow(game, "Tavrine Image");
        ASSERT_NE(window, "") << game.Errors();
        if (run++ % 2 == 1) {
            Xdotool("windowfocus --sync " + window + " key Escape");
            window = WaitForWindow(game, "Tavrine");
            ASSERT_NE(window, "") << game.Errors();
        }
        Xdotool("windowkill " + window);
    });
    EXPECT_EQ(outcomes, (Outcomes { { "exit 1", 100 } })) << m_firstUnexpected;
}

} // namespace
