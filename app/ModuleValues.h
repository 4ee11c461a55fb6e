#pragma once

#include "module/Globals.h"

// Start-up owns the lifetime of the module-level values.

// Gives every value its start value (start-up, and tests between runs),
// including the settings writer the main window calls when it closes.
void InitModuleValues();
// Releases the module-level objects in teardown order.
void ReleaseModuleValues();
