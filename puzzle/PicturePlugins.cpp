#include "puzzle/PicturePlugins.h"

#include "platform/Plugins.h"

PluginEntryTableType PluginEntryTable;

namespace {

constexpr const char* kLibraryName = "tavrine_pictures";

template <class F>
void Bind(const fw::PluginLibrary& library, F& slot, const char* declaration)
{
    slot = reinterpret_cast<F>(library.Function(declaration));
}

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
    auto library = fw::LoadPluginLibrary(kLibraryName);
    // Bind into a copy so a missing function leaves the table as it was.
    PluginEntryTableType table;
    Bind(*library, table.OpenAsJPEGMBS, "Folderitem.OpenAsJPEGMBS(allowdamaged as Boolean) as picture");
    Bind(*library, table.Rotate90MBS, "Picture.Rotate90MBS as picture");
    Bind(*library, table.Rotate180MBS, "Picture.Rotate180MBS as picture");
    Bind(*library, table.Rotate270MBS, "Picture.Rotate270MBS as picture");
    Bind(*library, table.ScreenshotRectMBS,
        "ScreenshotRectMBS(left as integer, top as integer, width as integer, height as integer) as picture");
    PluginEntryTable = table;
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
