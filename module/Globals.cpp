#include "module/Globals.h"

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
void (*SaveSettingsHook)() = nullptr;
