#pragma once

#include <memory>

#include "platform/Canvas.h"
#include "platform/Listbox.h"
#include "platform/PushButton.h"

// A canvas that follows the mouse while it is dragged, and turns its picture
// a quarter turn on a double-click with an arrow or modifier key held.
class DraggableCanvas : public fw::Canvas {
public:
    std::string ClassName() const override { return "DraggableCanvas"; }

    bool Event_MouseDown(int32_t x, int32_t y) override;
    void Event_MouseDrag(int32_t x, int32_t y) override;
    void Event_DoubleClick(int32_t x, int32_t y) override;
};

// What a turn reads from the window the piece lies on: the "Scramble" button
// (disabled exactly while a game runs), the pieces by index and the piece
// table. The main window is one; a piece on any other window never turns.
class PieceBoard {
public:
    virtual std::shared_ptr<fw::PushButton> MyScramble() const = 0;
    virtual std::shared_ptr<DraggableCanvas> Snaps(int32_t index) const = 0;
    virtual std::shared_ptr<fw::Listbox> LB1() const = 0;

protected:
    ~PieceBoard() = default;
};
