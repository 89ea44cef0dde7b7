#include "platform/linux/gui/qt_message_boxes.h"

#include <QMessageBox>

#include "platform/linux/gui/qt_form_host.h"

namespace murrelet::linux_platform {

void QtMessageBoxes::Show(BoxKind kind, std::string_view caption, std::string_view text) {
  if (host_.QuitRequested()) return;
  QMessageBox box(kind == BoxKind::Error ? QMessageBox::Critical : QMessageBox::Information,
                  QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size())),
                  QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())), QMessageBox::Ok,
                  host_.ActiveWindow());
  box.setObjectName(QStringLiteral("MessageBox"));
  box.setTextFormat(Qt::PlainText);
  // The windows' own face, as the main window was designed with it.
  box.setFont(host_.MainFont());
  // Its own loop: ticks and power events go on while it is open.
  box.exec();
}

}  // namespace murrelet::linux_platform
