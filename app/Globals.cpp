#include "app/Globals.h"

#include "app/Settings.h"

std::shared_ptr<fw::Random> Rnd;
bool IgnoreFirstRetinaAction = false;
int32_t WinTop = 0;
int32_t WinLeft = 0;
bool UseRotation = false;
int32_t ScaleFactor = 0;
std::vector<int32_t> Slots;
std::shared_ptr<fw::Picture> SourcePicture;
double PictureScale = 0;
int32_t CorrectCount = 0;
int32_t LastCorrectCount = 0;
int32_t DragOffsetX = 0;
int32_t DragOffsetY = 0;
std::shared_ptr<fw::FileType> ImageJpegFileType;
std::shared_ptr<Win1MenuBar> MainMenuBar;
std::shared_ptr<HelpMenuBar> SharedHelpMenuBar;
std::shared_ptr<fw::Sound> ApplauseSound;
bool ApplauseLoaded = false;
std::shared_ptr<fw::Sound> PingSound;
bool PingLoaded = false;
// Directives is defined with the settings reader, which the fuzz build links
// without the rest of the game.

void InitModuleValues()
{
    Rnd = nullptr;
    IgnoreFirstRetinaAction = false;
    WinTop = 0;
    WinLeft = 0;
    UseRotation = false;
    ScaleFactor = 0;
    Slots.assign(25, 0);
    SourcePicture = nullptr;
    PictureScale = 0;
    CorrectCount = 0;
    LastCorrectCount = 0;
    DragOffsetX = 0;
    DragOffsetY = 0;
    ImageJpegFileType = nullptr;
    MainMenuBar = nullptr;
    SharedHelpMenuBar = nullptr;
    Directives.assign(1, nullptr);
    ApplauseSound = nullptr;
    ApplauseLoaded = false;
    PingSound = nullptr;
    PingLoaded = false;
}

void ReleaseModuleValues()
{
    ApplauseSound = nullptr;
    PingSound = nullptr;
    SourcePicture = nullptr;
    Slots.clear();
    Rnd = nullptr;
    SharedHelpMenuBar = nullptr;
    ImageJpegFileType = nullptr;
    MainMenuBar = nullptr;
    Directives.clear();
}
