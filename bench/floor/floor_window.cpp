// A bare Qt window of the same size with a 20 s timer that does nothing, and a
// button that hides it: the least any Qt program doing this job can cost.
#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  app.setQuitOnLastWindowClosed(false);
  QWidget window;
  window.setWindowTitle(QStringLiteral("floor"));
  window.setFixedSize(157, 69);
  QPushButton button(QStringLiteral("hide"), &window);
  button.setGeometry(88, 8, 65, 25);
  QObject::connect(&button, &QPushButton::clicked, &window, &QWidget::hide);
  QTimer timer;
  timer.start(20000);
  window.show();
  return app.exec();
}
