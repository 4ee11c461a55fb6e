// The settings file's line reader. Kept apart from loading and saving so the
// fuzz build can link it with the framework's core alone.
#include "app/Settings.h"

#include "platform/Application.h"
#include "platform/Strings.h"

std::vector<std::shared_ptr<directiveClass>> Directives(1);

bool ReadSettingsFile(const std::shared_ptr<fw::FolderItem>& file)
{
    if (!file)
        return false;
    auto stream = file->OpenAsTextFile();
    if (!stream)
        return false;
    bool whole = ReadSettingsLines(*stream);
    stream->Close();
    return whole;
}

bool ReadSettingsLines(fw::TextInputStream& stream)
{
    size_t bytesLeft = LargestSettingsFile;
    size_t linesLeft = MostSettingsLines;
    while (!stream.EOF()) {
        // More than a settings file holds: what was read so far applies, the
        // rest is as for a file that cannot be read.
        if (bytesLeft == 0 || linesLeft == 0)
            return false;
        --linesLeft;
        auto line = stream.ReadLine(bytesLeft - 1);
        if (!line)
            return false;
        bytesLeft -= line->size() + 1;
        std::string first = fw::Mid(*line, 1, 1);
        // Anything but a directive or a comment ends the file, the empty
        // line included.
        if (first != "#" && first != "'")
            return true;
        if (first == "#") {
            int32_t blank = fw::InStr(*line, " ");
            if (blank > 0) {
                auto record = std::make_shared<directiveClass>();
                record->name = fw::Lowercase(fw::Mid(*line, 2, blank - 2));
                record->text = fw::Mid(*line, blank + 1);
                Directives.push_back(std::move(record));
            }
        }
        fw::BackgroundTaskYield();
    }
    return !stream.Failed();
}
