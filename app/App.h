#pragma once

#include <memory>

#include "platform/Application.h"

// The application object: reads the settings and opens the main window when
// the application opens, and handles the four application menu commands.
class App : public fw::Application {
public:
    std::string ClassName() const override { return "App"; }

    void Event_Open() override;
    void Event_EnableMenuItems() override;
    bool CheckforUpdateCheckNow_Action();
    bool HelpShowHelp_Action();
    bool FilePrintHelp_Action();
    bool HelpAboutBox_Action();
    void Constructor() {}
};

std::shared_ptr<App> AppInstance();
// Installs App's four menu handlers under their item names.
void AddAppMenuHandlers();
// Registers the descriptors of every class of the program.
void RegisterProgramClasses();
