#include "platform/linux/gui/art.h"

#include <QGuiApplication>
#include <QImageReader>

namespace murrelet::linux_platform {
namespace {

// Read with the format named and detection off: asked to guess, Qt loads
// every image plugin (and libjpeg) at start-up to ask whether it knows a file
// that is always a PNG.
QPixmap ReadPng(const QString& path, qreal pixelRatio) {
  QImageReader reader(path, "png");
  reader.setAutoDetectImageFormat(false);
  QPixmap pixmap = QPixmap::fromImage(reader.read());
  pixmap.setDevicePixelRatio(pixelRatio);
  return pixmap;
}

QString ArtPath(const QString& name, const char* suffix = "") {
  return QStringLiteral(":/art/") + name + QLatin1String(suffix) + QStringLiteral(".png");
}

void AddGlyph(QIcon& icon, const QString& name, QIcon::Mode mode) {
  icon.addPixmap(ReadPng(ArtPath(name), 1), mode);
  if (qApp != nullptr && qApp->devicePixelRatio() >= 2) icon.addPixmap(ReadPng(ArtPath(name, "@2x"), 2), mode);
}

}  // namespace

QPixmap ArtPixmap(const QString& name) { return ReadPng(ArtPath(name), 1); }

QIcon GlyphIcon(const QString& name) {
  QIcon icon;
  AddGlyph(icon, name, QIcon::Normal);
  AddGlyph(icon, name + QStringLiteral("_disabled"), QIcon::Disabled);
  return icon;
}

QIcon ProgramIcon() {
  // The frame and the task switcher show it small; the menu and the docks
  // take the installed icon theme's drawing instead. Each size given here
  // goes to the window manager as pixels, so only the two that are needed.
  QIcon icon(ArtPixmap(QStringLiteral("murrelet-64")));
  if (qApp != nullptr && qApp->devicePixelRatio() >= 2) icon.addPixmap(ArtPixmap(QStringLiteral("murrelet-128")));
  return icon;
}

}  // namespace murrelet::linux_platform
