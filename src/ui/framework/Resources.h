#pragma once
// The program's own pictures and help page, compiled into the window build.

#include <QIcon>

// Resource paths of the pictures.
inline constexpr const char* kAppIconResource = ":/icons/tidewell.png"; // 256 x 256, clear ground
inline constexpr const char* kIdlePictureResource = ":/pictures/idle.png"; // shown while idle
inline constexpr const char* kBusyAnimationResource =
    ":/pictures/busy.gif"; // for QMovie, same size
// The folder tree's seven 16 x 16 images side by side; magenta is clear.
inline constexpr const char* kTreeImagesResource = ":/pictures/tree_images.png";
inline constexpr const char* kHelpPageResource = ":/help/index.html";

// The program's own arrow for move buttons (a shaft with a head pointing
// that way), drawn in the palette's button-text colour, disabled in grey.
QIcon ArrowIcon(Qt::ArrowType direction);

// Registers the resources (":/icons", ":/pictures", ":/help"). They live in
// a static library, whose registration the linker would otherwise drop, so
// the program calls this once at start; later calls do nothing.
void InitResources();
