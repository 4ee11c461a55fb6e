#pragma once

#include <cstddef>
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

// Reading stops, as for an unreadable file, once it would go past either
// bound: the game writes three short lines, and a damaged or hostile file,
// one endless line or millions of short ones, must not hold up start-up or
// fill the memory. Every line counts one byte for its end, the last
// one too.
constexpr size_t LargestSettingsFile = 1024 * 1024;
constexpr size_t MostSettingsLines = 1000;

// Reads "tavrine2.txt" from the Preferences folder into the settings values,
// or sets the defaults when there is no readable file. A file that cannot be
// read to its end gives the values read before that point and the defaults
// for the rest.
void LoadSettings();
// Appends a record to Directives for each directive line; False when there is
// no file item, it cannot be opened, or reading broke off before the end.
bool ReadSettingsFile(const std::shared_ptr<fw::FolderItem>& file);
// Parses the lines of an opened settings file into Directives; False when
// reading broke off (past the bounds above, or a failed read).
bool ReadSettingsLines(fw::TextInputStream& stream);
// Writes the three settings lines, replacing the old file only once the new
// one is complete.
void SaveSettings();
