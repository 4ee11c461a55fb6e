#pragma once

// The start of a benchmark that runs the game's own code off-screen: the
// framework, the program's classes and the module-level values at their
// start values. The caller adds what it measures on top.
#include <cstdlib>

#include "app/App.h"
#include "app/ModuleValues.h"
#include "platform/Application.h"

inline void StartOffscreenGame(int argc, char** argv)
{
    // A variable the caller sets wins, so a benchmark can still be watched.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    fw::RuntimeInit(argc, argv);
    RegisterProgramClasses();
    InitModuleValues();
}
