#include "puzzle/PicturePlugins.h"

#include "platform/Plugins.h"

PluginEntryTableType PluginEntryTable;

namespace {

// Binding happens at start-up; code that runs without the start-up (tests,
// tools) binds on first use instead, with the same failure when the library
// is missing.
const PluginEntryTableType& Table()
{
    if (!PluginEntryTable.OpenAsJPEGMBS)
        LoadPicturePlugins();
    return PluginEntryTable;
}

std::shared_ptr<fw::Picture> Turned(void* (*turn)(const void*), const std::shared_ptr<fw::Picture>& picture)
{
    if (!picture)
        return nullptr;
    return fw::PictureFromPlugin(turn(fw::PictureForPlugin(*picture)));
}

} // namespace

void LoadPicturePlugins()
{
    // Bound into a copy first, so a failure leaves the table as it was.
    PluginEntryTable = fw::LoadPluginTable<PictureFunctions>();
}

std::shared_ptr<fw::Picture> OpenAsJPEGMBS(const fw::FolderItem& file, bool allowDamaged)
{
    return fw::PictureFromPlugin(Table().OpenAsJPEGMBS(file.NativePath().c_str(), allowDamaged));
}

std::shared_ptr<fw::Picture> Rotate90MBS(const std::shared_ptr<fw::Picture>& picture)
{
    return Turned(Table().Rotate90MBS, picture);
}

std::shared_ptr<fw::Picture> Rotate180MBS(const std::shared_ptr<fw::Picture>& picture)
{
    return Turned(Table().Rotate180MBS, picture);
}

std::shared_ptr<fw::Picture> Rotate270MBS(const std::shared_ptr<fw::Picture>& picture)
{
    return Turned(Table().Rotate270MBS, picture);
}

std::shared_ptr<fw::Picture> ScreenshotRectMBS(int32_t left, int32_t top, int32_t width, int32_t height)
{
    return fw::PictureFromPlugin(Table().ScreenshotRectMBS(left, top, width, height));
}
