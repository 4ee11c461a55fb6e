#pragma once

// The style's standard icons (the arrows, folders and files of the open-file
// dialog, the menu bar's overflow arrow) cost an icon-theme lookup and the
// decoding of several PNG files each when they are asked for, although most
// are never drawn, and those that are only when their window paints. Private
// to platform/qt.

#include <QStyle>

namespace fw {

// Wraps `base` (taking it over) in a style that hands out standard icons
// which are made by `base` only when first drawn or inspected; drawn, they
// are the very icons `base` gives.
QStyle* MakeLazyStandardIconStyle(QStyle* base);

// Whether the style is taken to give a non-null icon for `which` without
// being asked (tests check that it does).
bool IsAlwaysProvidedStandardIcon(QStyle::StandardPixmap which);

// With no icon theme named by the desktop, Qt looks icons up in the
// freedesktop fallback theme, hicolor, which by convention holds the icons of
// applications only: the open-file dialog's arrows, folders and files are
// never found there, and the first lookup parses hicolor's index of some six
// hundred folders (7 ms before the dialog can show). In that case no theme is
// searched and Qt's built-in icons, the ones found anyway, are drawn at once.
// A desktop's own theme is searched as before.
void SkipFallbackOnlyIconTheme();

// Installs that style over the application's style (after the above).
void InstallLazyStandardIcons();

} // namespace fw
