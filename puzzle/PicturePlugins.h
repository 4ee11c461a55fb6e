#pragma once

#include <cstdint>
#include <memory>

#include "platform/Files.h"
#include "platform/Picture.h"
#include "platform/plugins/PictureFunctions.h"

// The five picture functions as bound from the plug-in library by their
// declaration texts; all empty until LoadPicturePlugins fills them. The table
// and its texts are shared with the library itself.
using PluginEntryTableType = PictureFunctions;
extern PluginEntryTableType PluginEntryTable;

// Loads the picture plug-in library and binds its five functions by their
// declaration texts; raises PluginLoadException naming the library and what
// is wrong when the library or a function is missing.
void LoadPicturePlugins();

std::shared_ptr<fw::Picture> OpenAsJPEGMBS(const fw::FolderItem& file, bool allowDamaged);
// A new picture turned a quarter turn counter-clockwise, a half turn, a
// quarter turn clockwise; nil in, nil out.
std::shared_ptr<fw::Picture> Rotate90MBS(const std::shared_ptr<fw::Picture>& picture);
std::shared_ptr<fw::Picture> Rotate180MBS(const std::shared_ptr<fw::Picture>& picture);
std::shared_ptr<fw::Picture> Rotate270MBS(const std::shared_ptr<fw::Picture>& picture);
// What the screen shows in the rectangle: left and top in points, width and
// height in device pixels.
std::shared_ptr<fw::Picture> ScreenshotRectMBS(int32_t left, int32_t top, int32_t width, int32_t height);
