#include "platform/linux/gui/art.h"

#include <QGuiApplication>
#include <QImageReader>
#include <QPainter>

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

QIcon TrayPicture(bool charging) {
  const QPixmap program = ArtPixmap(QStringLiteral("murrelet-64"));
  const QPixmap glyph = ArtPixmap(QStringLiteral("start"));
  QIcon icon;
  for (const int size : {16, 22, 24, 32, 48, 64}) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(QRect(0, 0, size, size), program);
    if (charging) {
      const int badge = size * 5 / 8;
      const QRect corner(size - badge, size - badge, badge, badge);
      painter.setPen(QPen(Qt::white, qMax(1, size / 16)));
      painter.setBrush(QColor(0x1E, 0x8E, 0x3E));
      painter.drawEllipse(corner.adjusted(0, 0, -1, -1));
      const int inset = badge / 5;
      painter.drawPixmap(corner.adjusted(inset, inset, -inset, -inset), glyph);
    }
    painter.end();
    icon.addPixmap(pixmap);
  }
  return icon;
}

}  // namespace murrelet::linux_platform
