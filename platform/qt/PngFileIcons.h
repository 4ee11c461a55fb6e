#pragma once

// Icons made from PNG files by name read each file only when a pixmap of its
// size is first needed. Qt's own engine reads every file as it is added: the
// style's standard icons come in 16, 32 and 128 pixels each, so the open-file
// dialog decoded eleven 128-pixel images it never draws before it could show.
// Private to platform/qt.

namespace fw {

// From now on, every icon given a PNG file is of this kind. Drawn, it is the
// very icon Qt's own engine makes from the same files.
void InstallPngFileIcons();

} // namespace fw
