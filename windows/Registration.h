#pragma once

// Registers the classes of the help, about, version and update windows and
// of the help menu bar with the framework.
void RegisterSecondaryWindowClasses();
