// The floor for the Linux program's start-up, memory and idle cost: the least
// Qt Widgets program that shows what the program's first window must, one
// fixed-size window with one label of Japanese text in the same fonts and
// size, drawn the way the program draws (pixels sent over the X socket).
// With --clock the label shows the time of day, changed once a second: what
// any window with a live clock costs while idle.
#include <QApplication>
#include <QFont>
#include <QLabel>
#include <QTime>
#include <QTimer>
#include <QWidget>
#include <cstring>

int main(int argc, char** argv) {
  const bool clock = argc == 2 && std::strcmp(argv[1], "--clock") == 0;
  qputenv("QT_XCB_NO_MITSHM", "1");
  QApplication app(argc, argv);
  QWidget window;
  QFont font;
  font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("Noto Sans CJK JP")});
  font.setPixelSize(12);
  window.setFont(font);
  window.setWindowTitle(QStringLiteral("Floor Ver2.0"));
  window.setFixedSize(309, 215);
  QLabel label(QStringLiteral("充電中（時間指定なし）"), &window);
  label.setGeometry(64, 24, 180, 16);
  QTimer tick;
  if (clock) {
    QObject::connect(&tick, &QTimer::timeout,
                     [&label] { label.setText(QTime::currentTime().toString(QStringLiteral("HH:mm:ss"))); });
    tick.start(1000);
  }
  window.show();
  return QApplication::exec();
}
