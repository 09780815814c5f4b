// A bare Qt window of the same size with a 20 s timer that does nothing, and a
// button that hides it: the least any Qt program doing this job can cost.
#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include "ui/form1_design.h"

// The design's twips at 15 to the pixel, as the program lays them out.
constexpr int pixels(int twips) { return twips / (form1::kTwipsPerInch / 96); }

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  app.setQuitOnLastWindowClosed(false);
  QWidget window;
  window.setWindowTitle(QStringLiteral("floor"));
  window.setFixedSize(pixels(form1::kClientWidth), pixels(form1::kClientHeight));
  QPushButton button(QStringLiteral("hide"), &window);
  const form1::Control& set = form1::named("Command1");  // In the place of ours
  button.setGeometry(pixels(set.left), pixels(set.top), pixels(set.width), pixels(set.height));
  QObject::connect(&button, &QPushButton::clicked, &window, &QWidget::hide);
  QTimer timer;
  timer.start(20000);
  window.show();
  return app.exec();
}
