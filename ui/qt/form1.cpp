#include "form1.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QDBusConnection>
#include <QIcon>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <limits>

#include "form1_controls.h"
#include "resources/timerset.xpm"
#include "x11_window.h"

namespace {

// A plain QWidget's role is a filler, which screen readers do not announce as a window.
QAccessibleInterface* accessibleWindow(const QString&, QObject* object) {
  auto* form = qobject_cast<Form1*>(object);
  return form ? new QAccessibleWidget(form, QAccessible::Window) : nullptr;
}

}  // namespace

Form1::Form1(const reminder::Clock& clock, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::CustomizeWindowHint),
      reminder_(*this, clock) {
  setObjectName(QStringLiteral("Form1"));
  setWindowIcon(QIcon(QPixmap(timerset_icon)));
  QAccessible::installFactory(accessibleWindow);  // Once: Qt keeps each factory once.
  QPushButton* button = form1::makeControls(*this);
  t1 = findChild<QLineEdit*>(QStringLiteral("t1"));
  t2 = findChild<QLineEdit*>(QStringLiteral("t2"));

  // Enter in any box sets the reminder, as the button does. A note may be as long as the user
  // likes; QLineEdit would cut it at 32767.
  for (QLineEdit* box : findChildren<QLineEdit*>()) {
    connect(box, &QLineEdit::returnPressed, button, &QPushButton::click);
    box->setMaxLength(std::numeric_limits<int>::max());
  }
  connect(button, &QPushButton::clicked, this, [this] { reminder_.armReminder(); });

  // Single shots: each wait is measured afresh from the wall clock.
  Timer1 = new QTimer(this);
  Timer1->setObjectName(QStringLiteral("Timer1"));
  Timer1->setSingleShot(true);
  Timer1->setTimerType(Qt::PreciseTimer);
  connect(Timer1, &QTimer::timeout, this, &Form1::checkNow);
}

void Form1::start() { Timer1->start(reminder_.start()); }

// The check and the wait to the next mark come from one reading of the clock.
void Form1::checkNow() { Timer1->start(reminder_.checkReminder()); }

// The timer did not count the time asleep: its next tick may be 20 s away.
void Form1::prepareForSleep(bool sleeping) {
  if (!sleeping) checkNow();
}

// By the frame the user sees, which the manager tells of a window not yet mapped. The native
// window asked about is made anew as it is shown: only so does Qt place it by its frame, as the
// managers put back a window withdrawn, so that it comes back where it stood.
void Form1::centre() {
  create();
  QRect frame = frameGeometry();
  if (const auto extents = x11::frameExtents(windowHandle()))
    frame = geometry().marginsAdded(*extents / devicePixelRatio());
  destroy();
  frame.moveCenter(QGuiApplication::primaryScreen()->availableGeometry().center());
  move(frame.topLeft());
}

bool Form1::isOnAScreen() const {
  const QList<QScreen*> screens = QGuiApplication::screens();
  const QRect frame = frameGeometry();
  return std::any_of(screens.begin(), screens.end(),
                     [&](const QScreen* s) { return s->availableGeometry().contains(frame); });
}

void Form1::show(Show how) {
  if (!isHidden()) return;  // Showing a shown window changes nothing.
  if (how == Show::kWithoutFocus) {
    if (QGuiApplication::platformName() == QLatin1String("wayland")) {
      // A Wayland client may only ask for activation; the compositor decides.
      QWidget::show();
      windowHandle()->requestActivate();
      return;
    }
    // Mapped with _NET_WM_USER_TIME 0: no focus. Qt reads it from the native window.
    create();
    setAttribute(Qt::WA_ShowWithoutActivating);
    windowHandle()->setProperty("_q_showWithoutActivating", true);
  }
  QWidget::show();
}

// Withdrawn and mapped anew without the focus, which openbox and xfwm4 give a window they
// de-iconify. The manager may forget the above state after Qt set it: asked again.
void Form1::restore() {
  QWidget::hide();
  setWindowState(windowState() & ~Qt::WindowMinimized);
  show(Show::kWithoutFocus);
  if (windowFlags() & Qt::WindowStaysOnTopHint) x11::requestAbove(windowHandle());
}

// On the window itself: QWidget's flags would hide it and forget its place.
void Form1::keepAbove(bool above) {
  create();
  overrideWindowFlags(windowFlags().setFlag(Qt::WindowStaysOnTopHint, above));
  windowHandle()->setFlag(Qt::WindowStaysOnTopHint, above);
}

// On X11 a restack request, never the focus; neither tells whether the desktop obliged.
bool Form1::raise(Stacking) {
  if (!x11::requestRaise(windowHandle())) QWidget::raise();
  return true;
}

void Form1::requestAttention(bool wanted) {
  if (!x11::setUrgent(windowHandle(), wanted) && wanted) QApplication::alert(this);
}

// An X window mapped anew goes to the workspace in use; Wayland's compositor decides.
void Form1::toCurrentDesktop() {}

void Form1::hide() { QWidget::hide(); }
bool Form1::isHidden() const { return QWidget::isHidden(); }
bool Form1::isMinimised() const { return isMinimized(); }
std::u16string Form1::textOfT1() const { return t1->text().toStdU16String(); }
std::u16string Form1::textOfT2() const { return t2->text().toStdU16String(); }

bool Form1::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate) reminder_.windowActivated();
  return QWidget::event(event);
}

void checkAfterWake(Form1& window) {
  QDBusConnection::systemBus().connect(
      QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
      QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep"), &window,
      SLOT(prepareForSleep(bool)));
}
