#pragma once

// A fresh game for each test: the program's classes registered, the
// module-level values at their start values, an App object, seams that cancel
// the open-file dialog and record message boxes, sounds, links and beeps, and
// a settings folder of its own.
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/App.h"
#include "app/ModuleValues.h"
#include "platform/Application.h"
#include "platform/Files.h"
#include "platform/Seams.h"
#include "platform/Window.h"
#include "puzzle/Window1.h"

class GameFixture : public testing::Test {
protected:
    void SetUp() override
    {
        fw::RuntimeResetForTests();
        fw::Seams::ResetSeams();
        fw::RuntimeInitExternalClasses();
        RegisterProgramClasses();
        InitModuleValues();
        RemoveSettingsFile();
        fw::Seams::SetOpenDialogAnswer([](const fw::OpenDialog&) { return std::shared_ptr<fw::FolderItem>(); });
        fw::Seams::SetMessageBoxAnswer([this](const std::string& text) { messages.push_back(text); });
        fw::Seams::SetSoundRecorder([this](const std::string& path) { sounds.push_back(path); });
        fw::Seams::SetURLRecorder([this](const std::string& url) { urls.push_back(url); });
        fw::Seams::SetBeepRecorder([this] { ++beeps; });
        auto app = std::make_shared<App>();
        app->Constructor();
        fw::RuntimeRegisterAppObject(app);
        AddAppMenuHandlers();
    }

    void TearDown() override
    {
        fw::RuntimeResetForTests();
        fw::Seams::ResetSeams();
        ReleaseModuleValues();
    }

    // Opens the main window as the application does when it opens.
    std::shared_ptr<Window1> OpenMainWindow()
    {
        AppInstance()->Event_Open();
        return Window1Instance();
    }

    static std::filesystem::path SettingsPath()
    {
        return std::filesystem::path(fw::SpecialFolder::Preferences()->NativePath()) / "tavrine2.txt";
    }

    // Puts `bytes` in place as the settings file, as a run before left it.
    static void WriteSettings(const std::string& bytes)
    {
        std::ofstream out(SettingsPath(), std::ios::binary | std::ios::trunc);
        out << bytes;
    }

    static void RemoveSettingsFile()
    {
        std::error_code ignored;
        std::filesystem::remove_all(SettingsPath(), ignored);
        std::filesystem::remove_all(SettingsPath().string() + ".new", ignored);
    }

    std::vector<std::string> messages;
    std::vector<std::string> sounds;
    std::vector<std::string> urls;
    int beeps = 0;
};
