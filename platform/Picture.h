#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/Object.h"

namespace fw {

class Graphics;
class PictureImpl;
class Window;

// A 32-bit ARGB picture.
class Picture : public Object {
public:
    Picture(int32_t width, int32_t height);
    ~Picture() override;
    std::string ClassName() const override { return "Picture"; }

    int32_t Width() const;
    int32_t Height() const;
    // A drawing context on this picture. It draws nothing once the picture
    // is gone.
    std::shared_ptr<Graphics> GetGraphics();

    // 0xAARRGGBB of one pixel; raises OutOfBoundsException outside.
    uint32_t Pixel(int32_t x, int32_t y) const;

    // Platform internals.
    PictureImpl& Impl() const { return *m_impl; }
    explicit Picture(std::unique_ptr<PictureImpl> impl);

private:
    std::unique_ptr<PictureImpl> m_impl;
};

// A new blank (transparent) picture; depth is taken as 32.
std::shared_ptr<Picture> NewPicture(int32_t width, int32_t height, int32_t depth);

// A new picture holding `argb` (0xAARRGGBB, row by row from the top-left);
// nullptr when the count does not match the size. Tests build their pictures
// with it.
std::shared_ptr<Picture> PictureFromPixels(int32_t width, int32_t height, const std::vector<uint32_t>& argb);

// The window's content area as it is drawn now, in device pixels.
std::shared_ptr<Picture> GrabWindow(Window& window);

// What the screen shows in a rectangle: the application's open windows as
// they are drawn, back to front, on white. Left and top are screen
// coordinates in points; width and height count device pixels, so at a
// device pixel ratio of 2 a 200 by 200 capture covers 100 by 100 points.
// nullptr when the rectangle is empty.
std::shared_ptr<Picture> CaptureScreenRect(int32_t left, int32_t top, int32_t width, int32_t height);

// Writes the picture as a PNG file; False when the file cannot be written.
bool SavePicturePNG(const Picture& picture, const std::string& path);

} // namespace fw
