// The real executable, started headless: it opens its main window, answers
// its menu, and quits with status 0 after writing its settings.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>

#include <gtest/gtest.h>

namespace {

std::string BinaryDir()
{
    const char* dir = std::getenv("TAVRINE_BINARY_DIR");
    return dir ? dir : "";
}

// The whole content of a file; empty when it cannot be read.
std::string ReadWholeFile(const std::filesystem::path& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// An empty settings folder of this test process's own under the temporary
// folder.
std::filesystem::path FreshConfigFolder(const std::string& prefix)
{
    auto config = std::filesystem::temp_directory_path() / (prefix + std::to_string(getpid()));
    std::filesystem::remove_all(config);
    std::filesystem::create_directories(config);
    return config;
}

struct GameRun {
    int status = -1;
    std::string errors;
};

GameRun RunGame(const std::filesystem::path& config, const std::string& extraEnvironment = "",
    const std::string& dialogAnswer = "cancel", const std::string& executable = BinaryDir() + "/bin/tavrine")
{
    auto log = config / "stderr.txt";
    std::string command = "env QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME='" + config.string()
        + "' TAVRINE_TEST_OPEN_DIALOG=" + dialogAnswer + " TAVRINE_TEST_MESSAGES=1 TAVRINE_TEST_QUIT_WHEN_SHOWN=1 "
        + extraEnvironment + " timeout 60 '" + executable + "' 2>'" + log.string() + "'";
    GameRun run;
    int raw = std::system(command.c_str());
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.errors = ReadWholeFile(log);
    return run;
}

// Each test starts the built game, so it needs to know where the build is.
class StartupTest : public testing::Test {
protected:
    void SetUp() override
    {
        if (BinaryDir().empty())
            GTEST_SKIP() << "TAVRINE_BINARY_DIR is set by ctest";
    }
};

TEST_F(StartupTest, TheGameStartsShowsItsWindowAndQuitsCleanly)
{
    auto config = FreshConfigFolder("tavrine-startup-");

    // The main window's menu reaches the application's own commands: the
    // help window, then the about box, each in front of the windows before.
    GameRun first = RunGame(config, "'TAVRINE_TEST_MENU_CHOICES=Show Help;About...'");
    EXPECT_EQ(first.status, 0) << first.errors;
    EXPECT_NE(first.errors.find("shown"), std::string::npos) << first.errors;
    EXPECT_NE(first.errors.find("after Show Help: Tavrine Help | Tavrine\n"), std::string::npos) << first.errors;
    EXPECT_NE(first.errors.find("after About...: About... | Tavrine Help | Tavrine\n"), std::string::npos)
        << first.errors;
    const std::string text = ReadWholeFile(config / "tavrine2.txt");
    EXPECT_NE(text.find("#Window1Position "), std::string::npos);
    EXPECT_NE(text.find("#UseRotation False\n#ScaleFactor 1\n"), std::string::npos) << text;

    // A second run starts from what the first one saved.
    std::ofstream(config / "tavrine2.txt") << "#Window1Position 40,50\n#UseRotation True\n#ScaleFactor 2\n";
    GameRun second = RunGame(config);
    EXPECT_EQ(second.status, 0) << second.errors;
    EXPECT_EQ(ReadWholeFile(config / "tavrine2.txt"), "#Window1Position 40,50\n#UseRotation True\n#ScaleFactor 2\n");
    std::filesystem::remove_all(config);
}

// Start-up loads only what the first window needs: the update check's
// network library, printing and the image-format plug-ins come later, if at
// all. The real open dialog is built and shown before the main window.
TEST_F(StartupTest, TheFirstWindowsComeUpWithoutNetworkPrintingOrImagePlugins)
{
    auto config = FreshConfigFolder("tavrine-startup-libs-");

    GameRun run = RunGame(config, "LD_DEBUG=files");
    EXPECT_EQ(run.status, 0) << run.errors;
    const size_t shown = run.errors.find("shown: ");
    ASSERT_NE(shown, std::string::npos) << run.errors;
    const std::string before = run.errors.substr(0, shown);
    for (const char* library : { "libQt6Network", "libQt6PrintSupport", "libtavrine_network", "libtavrine_printing",
             "plugins/imageformats", "libQt6Multimedia" })
        EXPECT_EQ(before.find(library), std::string::npos) << library << " loaded before the first window";

    GameRun dialog = RunGame(config, "", "cancel-when-shown");
    EXPECT_EQ(dialog.status, 0) << dialog.errors;
    const size_t dialogShown = dialog.errors.find("shown: Tavrine Image\n");
    const size_t mainShown = dialog.errors.find("shown: Tavrine\n");
    EXPECT_NE(dialogShown, std::string::npos) << dialog.errors;
    EXPECT_NE(mainShown, std::string::npos) << dialog.errors;
    EXPECT_LT(dialogShown, mainShown) << dialog.errors;
    std::filesystem::remove_all(config);
}

// The application folder works wherever it is copied, and only with its own
// lib/: the game never falls back to the folder it was built in. Without the
// libraries it stops with status 1 and a message that names the library and
// the folder it should be in.
TEST_F(StartupTest, ACopiedApplicationFolderUsesItsOwnLibrariesOnly)
{
    namespace fs = std::filesystem;
    const fs::path root = fs::temp_directory_path() / ("tavrine-copied-" + std::to_string(getpid()));
    const fs::path app = root / "Tavrine";
    fs::remove_all(root);
    fs::create_directories(app / "bin");
    fs::create_directories(root / "config");
    fs::copy_file(fs::path(BinaryDir()) / "bin" / "tavrine", app / "bin" / "tavrine");
    fs::copy(fs::path(BinaryDir()) / "Resources", app / "Resources", fs::copy_options::recursive);

    GameRun withoutLib = RunGame(root / "config", "", "cancel", (app / "bin" / "tavrine").string());
    EXPECT_EQ(withoutLib.status, 1) << withoutLib.errors;
    EXPECT_NE(withoutLib.errors.find("message: The plug-in library libtavrine_pictures.so is missing: it is not in "
                  + (app / "lib").string() + ". "),
        std::string::npos)
        << withoutLib.errors;
    EXPECT_EQ(withoutLib.errors.find("shown"), std::string::npos) << withoutLib.errors;

    fs::copy(fs::path(BinaryDir()) / "lib", app / "lib", fs::copy_options::recursive);
    GameRun withLib = RunGame(root / "config", "", "cancel", (app / "bin" / "tavrine").string());
    EXPECT_EQ(withLib.status, 0) << withLib.errors;
    EXPECT_NE(withLib.errors.find("shown"), std::string::npos) << withLib.errors;
    fs::remove_all(root);
}

} // namespace
