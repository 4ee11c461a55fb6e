#pragma once

#include <cstdint>
#include <memory>

#include "platform/Object.h"

namespace fw {

class Graphics;
class StyledTextPrinterImpl;

// Width and height of a printed page as the program lays it out, in points
// (72 per inch) from the printable area's top-left, whatever the paper.
constexpr int32_t PrintedPageWidth = 540;
constexpr int32_t PrintedPageHeight = 720;

// Shows the printer dialog (or asks the printer-dialog seam) and gives a
// drawing context on the chosen printer, or nullptr when the player cancels.
// The print job ends when the last reference to the context is released (a
// StyledTextPrinter made for it holds one too).
std::shared_ptr<Graphics> OpenPrinterDialog();

// Cuts styled text into blocks for printing, page by page. A block never
// cuts a line in two: a line that does not fit wholly goes to the next block
// (a single line taller than a whole block is drawn alone, so printing always
// moves on).
class StyledTextPrinter : public Object {
public:
    explicit StyledTextPrinter(std::unique_ptr<StyledTextPrinterImpl> impl);
    ~StyledTextPrinter() override;
    std::string ClassName() const override { return "StyledTextPrinter"; }

    // True once every line has been drawn; at once for an empty text. (Named
    // Eof because the C library owns the macro EOF.)
    bool Eof() const;
    // Draws the next lines that fit into `height` points, with the block's
    // top-left at x, y on the graphics it was made for.
    void DrawBlock(int32_t x, int32_t y, int32_t height);

    StyledTextPrinterImpl& Impl() const { return *m_impl; }

private:
    std::unique_ptr<StyledTextPrinterImpl> m_impl;
};

} // namespace fw
