#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/Object.h"

namespace fw {

class Picture;
class GraphicsImpl;

// A drawing context: on a picture, or on a printed page.
class Graphics : public Object {
public:
    explicit Graphics(std::unique_ptr<GraphicsImpl> impl);
    ~Graphics() override;
    std::string ClassName() const override { return "Graphics"; }

    // Draws the source rectangle of `picture` scaled into the destination
    // rectangle: area-averaging when it shrinks, smooth when it enlarges.
    // A nil picture raises NilObjectException.
    void DrawPicture(const std::shared_ptr<Picture>& picture, int32_t x, int32_t y,
        int32_t destWidth, int32_t destHeight, int32_t sourceX, int32_t sourceY,
        int32_t sourceWidth, int32_t sourceHeight);

    std::string TextFont() const;
    void SetTextFont(const std::string& font);
    double TextSize() const;
    void SetTextSize(double size);
    bool Bold() const;
    void SetBold(bool value);
    Color ForeColor() const;
    void SetForeColor(Color value);
    // Draws text with its baseline at y.
    void DrawString(const std::string& text, int32_t x, int32_t y, int32_t wrapWidth = 0, bool condense = false);
    // Printing only: starts a new page.
    void NextPage();

    int32_t Width() const;
    int32_t Height() const;

    GraphicsImpl& Impl() const { return *m_impl; }

private:
    std::unique_ptr<GraphicsImpl> m_impl;
};

} // namespace fw
