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

// Installs that style over the application's style.
void InstallLazyStandardIcons();

} // namespace fw
