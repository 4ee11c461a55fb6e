#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/Files.h"

// One "#name text" line of the settings file.
class directiveClass {
public:
    std::string name; // lower-cased key
    std::string text; // the rest of the line after the first blank, as is
};

// Directive records of the settings file; index 0 holds none.
extern std::vector<std::shared_ptr<directiveClass>> Directives;

// Reads "tavrine2.txt" from the Preferences folder into the settings values,
// or sets the defaults when there is no readable file.
void LoadSettings();
// Appends a record to Directives for each directive line; False when there is
// no file item or it cannot be opened.
bool ReadSettingsFile(const std::shared_ptr<fw::FolderItem>& file);
// Parses the lines of an opened settings file into Directives.
void ReadSettingsLines(fw::TextInputStream& stream);
// Writes the three settings lines, replacing the old file only once the new
// one is complete.
void SaveSettings();
