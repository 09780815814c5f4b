#include "form1.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QCloseEvent>
#include <QDBusConnection>
#include <QFont>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QStringList>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <limits>

#include "resources/timerset.xpm"
#include "x11_window.h"

namespace {

// The window was laid out in twips at 15 to the pixel; these are those pixels,
// which Qt scales as logical pixels on screens of higher density.
constexpr QSize kClientSize{157, 69};
constexpr QRect kText3{0, 40, 153, 25};
constexpr QRect kT2{48, 8, 33, 25};
constexpr QRect kT1{0, 8, 33, 25};
constexpr QRect kCommand1{88, 8, 65, 25};
constexpr QRect kLabel1{32, 16, 17, 17};

// The Gothic the window was drawn with, then the same design under its Latin
// name, then Japanese Gothics that Linux desktops carry, so that kana and
// full-width digits never fall back to a font without them.
QFont japaneseGothic(qreal pointSize) {
  QFont font;
  font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"),
                    QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic"),
                    QStringLiteral("Noto Sans CJK JP"), QStringLiteral("Noto Sans JP"),
                    QStringLiteral("Source Han Sans JP"), QStringLiteral("VL PGothic"),
                    QStringLiteral("TakaoPGothic")});
  font.setStyleHint(QFont::SansSerif);
  font.setPointSizeF(pointSize);
  font.setBold(true);
  return font;
}

// A box for a number, where an input method would only be in the way: it
// would compose the digits and take the Enter that confirms them, so that
// Enter had to be pressed twice. Input methods ask the focused widget whether
// it takes their text, and a QLineEdit says yes whatever WA_InputMethodEnabled
// says; this one says no.
class NumberBox final : public QLineEdit {
 public:
  using QLineEdit::inputMethodQuery;
  using QLineEdit::QLineEdit;
  QVariant inputMethodQuery(Qt::InputMethodQuery query) const override {
    return query == Qt::ImEnabled ? QVariant(false) : QLineEdit::inputMethodQuery(query);
  }
};

template <typename Box = QLineEdit>
QLineEdit* makeBox(QWidget* parent, const char* name, const QRect& geometry) {
  auto* box = new Box(parent);
  box->setObjectName(QLatin1String(name));
  box->setGeometry(geometry);
  // A note may be as long as the user likes; QLineEdit would cut it at 32767.
  box->setMaxLength(std::numeric_limits<int>::max());
  return box;
}

// Qt gives a window made from a plain QWidget the role of a filler, which
// screen readers do not announce as a window; this one is the application's.
QAccessibleInterface* accessibleWindow(const QString&, QObject* object) {
  auto* form = qobject_cast<Form1*>(object);
  return form ? new QAccessibleWidget(form, QAccessible::Window) : nullptr;
}

}  // namespace

Form1::Form1(const reminder::Clock& clock, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::CustomizeWindowHint),
      clock_(clock),
      reminder_(*this, clock) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QStringLiteral("タイマセット"));
  setWindowIcon(QIcon(QPixmap(timerset_icon)));
  setFixedSize(kClientSize);
  QAccessible::installFactory(accessibleWindow);  // Once: Qt keeps each factory once.

  // Made in the order they stand on screen, left to right and then down: a
  // screen reader lists them in the order they were made.
  t1 = makeBox<NumberBox>(this, "t1", kT1);
  t1->setAccessibleName(QStringLiteral("時"));
  t1->setAccessibleDescription(QStringLiteral("時（0〜23）"));

  // Only a sign between the hour and the minute; never takes the focus.
  Label1 = new QLabel(QStringLiteral("："), this);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->setGeometry(kLabel1);
  Label1->setAlignment(Qt::AlignCenter);
  Label1->setFont(japaneseGothic(11.25));
  Label1->setFocusPolicy(Qt::NoFocus);

  t2 = makeBox<NumberBox>(this, "t2", kT2);
  t2->setAccessibleName(QStringLiteral("分"));
  t2->setAccessibleDescription(QStringLiteral("分（0〜59）"));

  Command1 = new QPushButton(QStringLiteral("セット"), this);
  Command1->setObjectName(QStringLiteral("Command1"));
  Command1->setGeometry(kCommand1);

  Text3 = makeBox(this, "Text3", kText3);
  Text3->setAccessibleName(QStringLiteral("メモ"));

  for (QLineEdit* box : {t1, t2}) box->setFont(japaneseGothic(12));

  setTabOrder(Command1, t1);
  setTabOrder(t1, t2);
  setTabOrder(t2, Text3);
  Command1->setFocus();

  // Enter in any box sets the reminder, as the button does.
  for (QLineEdit* box : {t1, t2, Text3}) {
    connect(box, &QLineEdit::returnPressed, Command1, &QPushButton::click);
  }
  connect(Command1, &QPushButton::clicked, this, [this] { reminder_.armReminder(); });

  // Three checks a minute, on the clock's :00, :20 and :40, so a reminder
  // comes at its minute; each wait is measured afresh from the wall clock.
  Timer1 = new QTimer(this);
  Timer1->setObjectName(QStringLiteral("Timer1"));
  Timer1->setSingleShot(true);
  Timer1->setTimerType(Qt::PreciseTimer);
  connect(Timer1, &QTimer::timeout, this, &Form1::checkNow);
  Timer1->start(reminder::millisecondsToNextCheck(clock_.read()));
}

// The check and the wait to the next mark come from one reading of the clock.
void Form1::checkNow() { Timer1->start(reminder_.checkReminder()); }

// Woken: the timer did not count the time asleep, so its next tick may be up
// to 20 s away. Check now, and the ticks start again from the next mark.
void Form1::prepareForSleep(bool sleeping) {
  if (!sleeping) checkNow();
}

void Form1::centre() {
  QRect frame = frameGeometry();
  frame.moveCenter(QGuiApplication::primaryScreen()->availableGeometry().center());
  move(frame.topLeft());
}

void Form1::show() {
  if (!isHidden()) return;  // Showing a shown window changes nothing.
  if (!shownBefore_) {
    // The first showing is the program's start: centred, and with the focus.
    shownBefore_ = true;
    centre();
    QWidget::show();
    return;
  }
  popUp();
}

// The reminder has come: in front of the user's work, and kept there until
// armed again, but without taking the keyboard from what the user is typing.
void Form1::popUp() {
  // Where the user left it, unless that is no longer wholly on one screen's
  // work area (a monitor unplugged, the resolution lowered while hidden).
  const QList<QScreen*> screens = QGuiApplication::screens();
  const QRect frame = frameGeometry();
  if (std::none_of(screens.begin(), screens.end(),
                   [&](const QScreen* s) { return s->availableGeometry().contains(frame); })) {
    centre();
  }
  poppedUp_ = true;
  setStaysOnTop(true);
  if (QGuiApplication::platformName() == QLatin1String("wayland")) {
    // A Wayland client cannot place itself above others; activation is all it
    // may ask, and the compositor decides.
    QWidget::show();
    windowHandle()->requestActivate();
    return;
  }
  // Mapped with _NET_WM_USER_TIME 0, which tells the window manager not to
  // give it the focus. Qt reads this from the native window, which may be
  // older than the attribute.
  setAttribute(Qt::WA_ShowWithoutActivating);
  windowHandle()->setProperty("_q_showWithoutActivating", true);
  QWidget::show();
  x11::setUrgent(windowHandle(), true);
  if (!x11::available()) QApplication::alert(this);
}

void Form1::hide() {
  if (poppedUp_) {
    poppedUp_ = false;
    x11::setUrgent(windowHandle(), false);
    setStaysOnTop(false);  // Back to an ordinary window before it goes.
  }
  QWidget::hide();
}

// Set on the window itself rather than through QWidget, which would hide the
// window and forget its place. Qt's X11 code still makes a new X window for
// it at the next showing; the widgets, their texts and focus stay as they are.
void Form1::setStaysOnTop(bool on) {
  create();
  overrideWindowFlags(windowFlags().setFlag(Qt::WindowStaysOnTopHint, on));
  windowHandle()->setFlag(Qt::WindowStaysOnTopHint, on);
}

// Every tick, also before the first arming: ask to be on top, never for the
// focus. A hidden window has nothing to show.
void Form1::raise() {
  if (isHidden()) return;
  if (x11::available()) {
    x11::requestRaise(windowHandle());
  } else {
    QWidget::raise();
  }
}

bool Form1::event(QEvent* event) {
  // The user has turned to the window: the request for attention is answered.
  if (event->type() == QEvent::WindowActivate) x11::setUrgent(windowHandle(), false);
  return QWidget::event(event);
}

std::u16string Form1::textOfT1() const { return t1->text().toStdU16String(); }

std::u16string Form1::textOfT2() const { return t2->text().toStdU16String(); }

void Form1::closeEvent(QCloseEvent* event) {
  event->accept();
  emit closed();
}

void quitWhenClosed(Form1& window) {
  QApplication::setQuitOnLastWindowClosed(false);
  QObject::connect(&window, &Form1::closed, qApp, &QCoreApplication::quit);
}

void checkAfterWake(Form1& window) {
  QDBusConnection::systemBus().connect(
      QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
      QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep"), &window,
      SLOT(prepareForSleep(bool)));
}
