#pragma once

#include "platform/Canvas.h"

// A canvas that follows the mouse while it is dragged, and turns its picture
// a quarter turn on a double-click with an arrow or modifier key held.
class DraggableCanvas : public fw::Canvas {
public:
    std::string ClassName() const override { return "DraggableCanvas"; }

    bool Event_MouseDown(int32_t x, int32_t y) override;
    void Event_MouseDrag(int32_t x, int32_t y) override;
    void Event_DoubleClick(int32_t x, int32_t y) override;
};

// The main window's piece class: a DraggableCanvas made with its control index.
class Window1Snaps : public DraggableCanvas {
public:
    static constexpr const char* FullClassName = "Window1.Snaps";
    std::string ClassName() const override { return FullClassName; }

    void Constructor(int32_t index);
    void Constructor();
};
