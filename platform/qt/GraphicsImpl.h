#pragma once

#include <functional>
#include <memory>
#include <string>

#include <QColor>
#include <QFont>
#include <QPainter>

#include "platform/Object.h"

namespace fw {

class Picture;

// Shrinks premultiplied ARGB pixels by whole factors (the source exactly
// k by l times the destination) with a box average, rounded to nearest.
// Gives a null image when the sizes are not such a reduction.
QImage ShrinkByWholeFactor(const QImage& source, int destWidth, int destHeight);

// Lays premultiplied ARGB pixels over a picture's pixels at `at` (the part
// outside the target is dropped), as a painter's default composition does.
void BlendSourceOver(QImage& target, QPoint at, const QImage& source);

// Halves `source` (exactly twice `dest` in each direction) with a box average
// and lays the result over `target` at `dest`, clipped to the target, without
// building the reduced picture. False when the formats or sizes do not suit
// (the caller then takes the general way).
bool ShrinkHalfOver(QImage& target, const QRect& dest, const QImage& source);

// What a Graphics draws on: a picture (a painter is opened for each drawing
// call, so the picture's pixels are complete whenever anyone reads them), or
// a painter someone else keeps open on any paint device, such as a printer,
// with a hook that starts a new page.
class GraphicsImpl {
public:
    // On a picture. `owner` tells when the picture is gone; it may be empty
    // for a picture that no shared pointer holds.
    GraphicsImpl(Picture* picture, std::weak_ptr<Object> owner);
    // On an open painter that outlives this object; width and height are
    // the drawable size in the painter's units.
    GraphicsImpl(QPainter* painter, int width, int height, std::function<void()> nextPage = {});

    // Runs `draw` with a painter on the target, set up with the current font
    // (when `withText`) and colour; does nothing when the target is gone.
    void Paint(const std::function<void(QPainter&)>& draw, bool withText = true);

    int Width() const;
    int Height() const;
    void NextPage();

    // Text state, applied to every drawing call.
    std::string TextFont = "System";
    double TextSize = 0; // 0: the default size
    bool Bold = false;
    Color ForeColor = RGB(0, 0, 0);
    QFont CurrentFont() const;

    Picture* TargetPicture() const;

private:
    Picture* m_picture = nullptr;
    std::weak_ptr<Object> m_owner;
    bool m_owned = false;
    QPainter* m_painter = nullptr;
    int m_width = 0;
    int m_height = 0;
    std::function<void()> m_nextPage;
};

} // namespace fw
