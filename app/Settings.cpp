#include "app/Settings.h"

#include <algorithm>

#include "module/Globals.h"
#include "platform/Application.h"
#include "platform/Strings.h"
#include "platform/System.h"

namespace {

constexpr const char* SettingsFileName = "tavrine2.txt";

std::shared_ptr<fw::FolderItem> PreferencesChild(const char* name)
{
    auto folder = fw::SpecialFolder::Preferences();
    return folder ? folder->Child(name) : nullptr;
}

} // namespace

void LoadSettings()
{
    auto file = PreferencesChild(SettingsFileName);
    const size_t before = Directives.size();
    const bool whole = ReadSettingsFile(file);
    if (!whole) {
        // No readable file: centre the window and start with both options
        // off. When reading broke off part way, what was read before the
        // break still applies below.
        auto screen = fw::GetScreen(0);
        WinTop = fw::ToInt32((screen->AvailableHeight() - 580) / 2.0);
        WinLeft = fw::ToInt32((screen->AvailableWidth() - 865) / 2.0);
        UseRotation = false;
        ScaleFactor = 1;
    }
    // Every record when the file was read whole; otherwise only those this
    // reading added (none when there was no file).
    for (size_t i = whole ? 1 : std::max<size_t>(before, 1); i < Directives.size(); ++i) {
        const auto& record = fw::Deref(Directives[i], "directive");
        if (fw::StrEq(record.name, "Window1Position")) {
            WinTop = fw::ToInt32(fw::Val(fw::NthField(record.text, ",", 1)));
            WinLeft = fw::ToInt32(fw::Val(fw::NthField(record.text, ",", 2)));
        } else if (fw::StrEq(record.name, "UseRotation")) {
            UseRotation = fw::StrEq(record.text, "True");
        } else if (fw::StrEq(record.name, "ScaleFactor")) {
            ScaleFactor = fw::StrEq(record.text, "1") ? 1 : 2;
        }
        fw::BackgroundTaskYield();
    }
}

void SaveSettings()
{
    auto file = PreferencesChild(SettingsFileName);
    if (!file)
        return;
    // The new settings replace the old file only once they are complete, so
    // a failed write never loses the settings already saved.
    auto stream = fw::TextOutputStream::CreateReplacing(*file);
    if (!stream)
        return;
    stream->WriteLine("#Window1Position " + fw::Str(int64_t(WinTop)) + "," + fw::Str(int64_t(WinLeft)));
    stream->WriteLine(UseRotation ? "#UseRotation True" : "#UseRotation False");
    stream->WriteLine(ScaleFactor == 2 ? "#ScaleFactor 2" : "#ScaleFactor 1");
    // Failures stay silent, as they always have for this file.
    (void)stream->Close();
}
