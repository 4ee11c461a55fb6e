#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/Dialogs.h"
#include "platform/Picture.h"
#include "platform/Random.h"
#include "platform/System.h"

class Win1MenuBar;
class HelpMenuBar;

// All of the program's module-level state that the main window and the other
// windows share. Each value has one owner that writes it; the comments say
// who. Start-up gives them their start values (app/ModuleValues.h); the
// settings file's records live with the settings file (app/Settings.h).

// Source of the random turns at "Scramble"; made when the application opens.
extern std::shared_ptr<fw::Random> Rnd;
// Swallows the one Action the "Retina" box raises while it opens.
extern bool IgnoreFirstRetinaAction;
// The main window's top and left in screen coordinates.
extern int32_t WinTop;
extern int32_t WinLeft;
// "Rotate": random turns at "Scramble" and turning by double-click.
extern bool UseRotation;
// 1, or 2 for "Retina"; 0 when a settings file lacked its line (cut like 2).
extern int32_t ScaleFactor;
// After a scramble, Slots[j] is the piece dealt onto home slot j.
extern std::vector<int32_t> Slots;
// The picture decoded from the last chosen file, and board points per pixel.
extern std::shared_ptr<fw::Picture> SourcePicture;
extern double PictureScale;
// The count of the counting pass in progress, and the count it last showed.
extern int32_t CorrectCount;
extern int32_t LastCorrectCount;
// Where the mouse pressed the piece pressed last; one pair for all pieces.
extern int32_t DragOffsetX;
extern int32_t DragOffsetY;
// The JPEG file type the open-file dialog filters by.
extern std::shared_ptr<fw::FileType> ImageJpegFileType;
// The shared menu bars, made on first use.
extern std::shared_ptr<Win1MenuBar> MainMenuBar;
extern std::shared_ptr<HelpMenuBar> SharedHelpMenuBar;
// The two sounds, each loaded at most once per run.
extern std::shared_ptr<fw::Sound> ApplauseSound;
extern bool ApplauseLoaded;
extern std::shared_ptr<fw::Sound> PingSound;
extern bool PingLoaded;
// Writes the settings file when the main window closes. The settings file
// belongs to start-up, which sets this; nil writes nothing.
extern void (*SaveSettingsHook)();
