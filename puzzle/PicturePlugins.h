#pragma once

#include <cstdint>
#include <memory>

#include "platform/Files.h"
#include "platform/Picture.h"

// The five picture functions as bound from the plug-in library by their
// declaration texts; all empty until LoadPicturePlugins fills them.
struct PluginEntryTableType {
    void* (*OpenAsJPEGMBS)(const char* path, bool allowDamaged) = nullptr;
    void* (*Rotate90MBS)(const void* picture) = nullptr;
    void* (*Rotate180MBS)(const void* picture) = nullptr;
    void* (*Rotate270MBS)(const void* picture) = nullptr;
    void* (*ScreenshotRectMBS)(int32_t left, int32_t top, int32_t width, int32_t height) = nullptr;
};
extern PluginEntryTableType PluginEntryTable;

// Loads the picture plug-in library and binds its five functions by their
// declaration texts; raises when the library or a function is missing.
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
