// The floor for the Linux program's start-up and memory: the least Qt Widgets
// program that shows what the program's first window must, one fixed-size
// window with one label of Japanese text in the same fonts and size.
#include <QApplication>
#include <QFont>
#include <QLabel>
#include <QWidget>

int main(int argc, char** argv) {
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
  window.show();
  return QApplication::exec();
}
