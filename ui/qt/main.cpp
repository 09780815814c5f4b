#include <QApplication>

#include "form1.h"
#include "reminder/clock.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QGuiApplication::setDesktopFileName(QStringLiteral("timerset"));

  const reminder::SystemClock clock;
  Form1 window(clock);
  quitWhenClosed(window);
  window.show();
  return QApplication::exec();
}
