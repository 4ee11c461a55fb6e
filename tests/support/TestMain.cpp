// Brings the framework up headless before any test runs, with a private
// settings folder so no test touches the user's real one.
#include <cstdlib>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "platform/Application.h"

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
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
