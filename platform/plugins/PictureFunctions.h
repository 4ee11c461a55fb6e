#pragma once

// The picture library's functions as the game and the library both see them.
// A picture goes in and out as a pointer to the framework's PictureData; a
// result is a new PictureData the caller owns, or nullptr for nil.
#include <cstdint>
#include <tuple>

#include "platform/plugins/PluginTable.h"

using OpenAsJPEGFunction = void* (*)(const char* path, bool allowDamaged);
using RotateFunction = void* (*)(const void* picture);
using ScreenshotRectFunction = void* (*)(int32_t left, int32_t top, int32_t width, int32_t height);

struct PictureFunctions {
    static constexpr const char* kLibrary = "tavrine_pictures";

    OpenAsJPEGFunction OpenAsJPEGMBS = nullptr;
    RotateFunction Rotate90MBS = nullptr;
    RotateFunction Rotate180MBS = nullptr;
    RotateFunction Rotate270MBS = nullptr;
    ScreenshotRectFunction ScreenshotRectMBS = nullptr;

    static constexpr auto Slots()
    {
        using T = PictureFunctions;
        return std::tuple {
            PluginSlot<T, OpenAsJPEGFunction> { "Folderitem.OpenAsJPEGMBS(allowdamaged as Boolean) as picture",
                &T::OpenAsJPEGMBS },
            PluginSlot<T, RotateFunction> { "Picture.Rotate90MBS as picture", &T::Rotate90MBS },
            PluginSlot<T, RotateFunction> { "Picture.Rotate180MBS as picture", &T::Rotate180MBS },
            PluginSlot<T, RotateFunction> { "Picture.Rotate270MBS as picture", &T::Rotate270MBS },
            PluginSlot<T, ScreenshotRectFunction> {
                "ScreenshotRectMBS(left as integer, top as integer, width as integer, height as integer) as picture",
                &T::ScreenshotRectMBS },
        };
    }
};

// The picture library may export this function too; the framework then
// hands it its services (a PictureHost) right after loading it.
#define TAVRINE_PLUGIN_ATTACH "TavrinePluginAttach"
