#pragma once

// Registers the JPEG file type (start-up, before the application object).
void InitFileTypes();
// Asks for a JPEG and shows its top-left square on the board and in the
// answer view.
void LoadPuzzlePicture();
