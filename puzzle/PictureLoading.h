#pragma once

namespace fw {
class Canvas;
}

// Registers the JPEG file type (start-up, before the application object).
void InitFileTypes();
// Asks for a JPEG and shows its top-left square on the board and, smaller, in
// the answer view.
void LoadPictureOnto(fw::Canvas& board, fw::Canvas& answer);
