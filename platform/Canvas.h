#pragma once

#include <functional>
#include <memory>

#include "platform/RectControl.h"

namespace fw {

class Picture;

// Draws its Backdrop at its top-left, one picture pixel per point; with no
// backdrop it draws nothing, so what lies under it shows.
class Canvas : public RectControl {
public:
    std::string ClassName() const override { return "Canvas"; }

    std::shared_ptr<Picture> Backdrop() const { return m_backdrop; }
    void SetBackdrop(std::shared_ptr<Picture> picture);

    // Bound handlers, used when a subclass does not override the hooks.
    std::function<bool(Canvas&, int32_t x, int32_t y)> OnMouseDown;
    std::function<void(Canvas&, int32_t x, int32_t y)> OnMouseDrag;
    std::function<void(Canvas&, int32_t x, int32_t y)> OnMouseUp;
    std::function<void(Canvas&, int32_t x, int32_t y)> OnDoubleClick;

    // Mouse events; x and y are relative to the control. A MouseDown that
    // returns True receives the MouseDrag events of that press (only when the
    // mouse moves) and its MouseUp.
    virtual bool Event_MouseDown(int32_t x, int32_t y);
    virtual void Event_MouseDrag(int32_t x, int32_t y);
    virtual void Event_MouseUp(int32_t x, int32_t y);
    virtual void Event_DoubleClick(int32_t x, int32_t y);

protected:
    std::unique_ptr<RectControlImpl> CreateImpl() override;

private:
    std::shared_ptr<Picture> m_backdrop;
};

} // namespace fw
