#include "app/Settings.h"

#include "module/Globals.h"
#include "platform/Application.h"
#include "platform/Strings.h"
#include "platform/System.h"

namespace {

constexpr const char* SettingsFileName = "tavrine2.txt";
// The new settings are written here first and renamed over the old file, so a
// failed write never loses the settings already saved.
constexpr const char* SettingsTempName = "tavrine2.txt.new";

std::shared_ptr<fw::FolderItem> PreferencesChild(const char* name)
{
    auto folder = fw::SpecialFolder::Preferences();
    return folder ? folder->Child(name) : nullptr;
}

} // namespace

void LoadSettings()
{
    auto file = PreferencesChild(SettingsFileName);
    if (ReadSettingsFile(file)) {
        for (size_t i = 1; i < Directives.size(); ++i) {
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
        return;
    }
    // No readable file: centre the window and start with both options off.
    auto screen = fw::GetScreen(0);
    WinTop = fw::ToInt32((screen->AvailableHeight() - 580) / 2.0);
    WinLeft = fw::ToInt32((screen->AvailableWidth() - 865) / 2.0);
    UseRotation = false;
    ScaleFactor = 1;
}

void SaveSettings()
{
    auto file = PreferencesChild(SettingsFileName);
    auto temp = PreferencesChild(SettingsTempName);
    if (!file || !temp)
        return;
    auto stream = fw::TextOutputStream::Create(*temp);
    if (!stream)
        return;
    stream->WriteLine("#Window1Position " + fw::Str(int64_t(WinTop)) + "," + fw::Str(int64_t(WinLeft)));
    stream->WriteLine(UseRotation ? "#UseRotation True" : "#UseRotation False");
    stream->WriteLine(ScaleFactor == 2 ? "#ScaleFactor 2" : "#ScaleFactor 1");
    // Failures stay silent, as they always have for this file, but they never
    // touch the old settings.
    if (!stream->Close() || !temp->MoveTo(*file))
        (void)temp->Delete();
}
