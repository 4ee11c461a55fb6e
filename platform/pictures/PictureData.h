#pragma once

#include <cstdint>
#include <functional>

#include <QImage>

// The pixels of a picture as the picture library and the framework hand them
// to each other. Both sides share Qt Gui, so a QImage crosses the boundary
// as it is.
//
// A picture decoded for display may hold fewer stored pixels than its size
// says (a JPEG decoded at a reduced DCT scale); `decodeFull` then brings the
// full-size pixels when something needs them.
struct PictureData {
    int32_t width = 0;
    int32_t height = 0;
    // Format_ARGB32_Premultiplied; the same aspect as width by height.
    QImage stored;
    // Empty when `stored` is already full size. Returns a null image when the
    // full-size pixels cannot be had; the stored ones are then used enlarged.
    std::function<QImage()> decodeFull;

    bool Reduced() const { return stored.width() != width || stored.height() != height; }
};

// What the framework offers the picture library when it loads it.
struct PictureHost {
    int32_t version = 1;
    // What the application's windows show in a screen rectangle: left and top
    // in points, width and height in device pixels; a new PictureData, or
    // nullptr when the rectangle is empty.
    void* (*captureScreen)(int32_t left, int32_t top, int32_t width, int32_t height) = nullptr;
};

#include "platform/plugins/PictureFunctions.h"

using PluginAttachFunction = void (*)(const PictureHost* host);
