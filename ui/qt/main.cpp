#include <QApplication>

#include "form1.h"
#include "reminder/clock.h"

int main(int argc, char* argv[]) {
  // In a Wayland session, Xwayland first: there a window may ask to stay above
  // the others without the focus, which Wayland gives no client.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "xcb;wayland");
  QApplication app(argc, argv);
  QGuiApplication::setDesktopFileName(QStringLiteral("timerset"));

  const reminder::SystemClock clock;
  Form1 window(clock);
  window.start();
  checkAfterWake(window);
  checkWhenClockSet(window);
  return QApplication::exec();
}
