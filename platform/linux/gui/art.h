// The pictures the windows show, compiled in as PNG files under ":/art/".
#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

namespace murrelet::linux_platform {

// The picture `name` (":/art/<name>.png"); a null pixmap when there is none.
QPixmap ArtPixmap(const QString& name);

// A button glyph: `name` when enabled, `name`_disabled when not, each with its
// @2x drawing on a screen of two or more device pixels per pixel.
QIcon GlyphIcon(const QString& name);

// The program's icon, for the window frame and the task switcher.
QIcon ProgramIcon();

// The notification-area icon: the program's icon, and while a run goes the
// same with the start button's glyph on a round badge in its corner, so the
// two looks differ in shape as well as colour. Drawn at 16 to 64 pixels.
QIcon TrayPicture(bool charging);

}  // namespace murrelet::linux_platform
