#include "app/ModuleValues.h"

#include "app/Settings.h"

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
    SaveSettingsHook = &SaveSettings;
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
