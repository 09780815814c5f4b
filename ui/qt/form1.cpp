#include "form1.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
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
#include <map>

#include "resources/timerset.xpm"
#include "ui/form1_design.h"
#include "x11_window.h"

namespace {

// The design's twips at 15 to the pixel, which Qt scales as logical pixels on
// screens of higher density.
constexpr int kTwipsPerPixel = form1::kTwipsPerInch / 96;
int pixels(int twips) { return twips / kTwipsPerPixel; }

QString text(const char16_t* utf16) { return utf16 ? QString::fromUtf16(utf16) : QString(); }

// The design's Gothic, then the same design under its Latin name, then
// Japanese Gothics that Linux desktops carry, so that kana and full-width
// digits never fall back to a font without them.
QFont japaneseGothic(int centipoints) {
  QFont font;
  font.setFamilies({text(form1::kGothic), QStringLiteral("MS PGothic"),
                    QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic"),
                    QStringLiteral("Noto Sans CJK JP"), QStringLiteral("Noto Sans JP"),
                    QStringLiteral("Source Han Sans JP"), QStringLiteral("VL PGothic"),
                    QStringLiteral("TakaoPGothic")});
  font.setStyleHint(QFont::SansSerif);
  font.setPointSizeF(centipoints / 100.0);
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

QWidget* makeControl(const form1::Control& design, QWidget* parent) {
  switch (design.kind) {
    case form1::Kind::kNumberBox:
    case form1::Kind::kNoteBox: {
      QLineEdit* box =
          design.kind == form1::Kind::kNumberBox ? new NumberBox(parent) : new QLineEdit(parent);
      // A note may be as long as the user likes; QLineEdit would cut it at 32767.
      box->setMaxLength(std::numeric_limits<int>::max());
      return box;
    }
    case form1::Kind::kLabel: {
      auto* label = new QLabel(text(design.text), parent);
      label->setAlignment(Qt::AlignCenter);
      label->setFocusPolicy(Qt::NoFocus);
      return label;
    }
    case form1::Kind::kButton:
      return new QPushButton(text(design.text), parent);
  }
  return nullptr;
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
      reminder_(*this, clock) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(text(form1::kCaption));
  setWindowIcon(QIcon(QPixmap(timerset_icon)));
  setFixedSize(pixels(form1::kClientWidth), pixels(form1::kClientHeight));
  QAccessible::installFactory(accessibleWindow);  // Once: Qt keeps each factory once.

  // Made in screen order: a screen reader lists them in the order they were made.
  QPushButton* button = nullptr;
  std::map<int, QWidget*> tabOrder;
  for (const form1::Control& design : form1::kControls) {
    QWidget* control = makeControl(design, this);
    control->setObjectName(QLatin1String(design.name));
    control->setGeometry(pixels(design.left), pixels(design.top), pixels(design.width),
                         pixels(design.height));
    if (design.centipoints) control->setFont(japaneseGothic(design.centipoints));
    if (design.accessible) control->setAccessibleName(text(design.accessible));
    if (design.description) control->setAccessibleDescription(text(design.description));
    if (design.kind != form1::Kind::kLabel) tabOrder[design.tabPosition] = control;
    if (design.kind == form1::Kind::kButton) button = qobject_cast<QPushButton*>(control);
  }
  for (auto at = tabOrder.begin(); std::next(at) != tabOrder.end(); ++at) {
    setTabOrder(at->second, std::next(at)->second);
  }
  tabOrder.begin()->second->setFocus();
  t1 = findChild<QLineEdit*>(QStringLiteral("t1"));
  t2 = findChild<QLineEdit*>(QStringLiteral("t2"));

  // Enter in any box sets the reminder, as the button does.
  for (QLineEdit* box : findChildren<QLineEdit*>()) {
    connect(box, &QLineEdit::returnPressed, button, &QPushButton::click);
  }
  connect(button, &QPushButton::clicked, this, [this] { reminder_.armReminder(); });

  // Three checks a minute, on the clock's :00, :20 and :40, so a reminder
  // comes at its minute; each wait is measured afresh from the wall clock.
  Timer1 = new QTimer(this);
  Timer1->setObjectName(QStringLiteral("Timer1"));
  Timer1->setSingleShot(true);
  Timer1->setTimerType(Qt::PreciseTimer);
  connect(Timer1, &QTimer::timeout, this, &Form1::checkNow);
}

void Form1::start() { Timer1->start(reminder_.start()); }

// The check and the wait to the next mark come from one reading of the clock.
void Form1::checkNow() { Timer1->start(reminder_.checkReminder()); }

// Woken: the timer did not count the time asleep, so its next tick may be up
// to 20 s away.
void Form1::prepareForSleep(bool sleeping) {
  if (!sleeping) checkNow();
}

void Form1::centre() {
  QRect frame = frameGeometry();
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
      // A Wayland client cannot place itself above others or keep out of the
      // focus; activation is all it may ask, and the compositor decides.
      QWidget::show();
      windowHandle()->requestActivate();
      return;
    }
    // Mapped with _NET_WM_USER_TIME 0, which tells the window manager not to
    // give it the focus. Qt reads this from the native window, which may be
    // older than the attribute.
    create();
    setAttribute(Qt::WA_ShowWithoutActivating);
    windowHandle()->setProperty("_q_showWithoutActivating", true);
  }
  QWidget::show();
}

void Form1::hide() { QWidget::hide(); }

// Withdrawn and mapped anew, with a user time of 0: a window manager that
// de-iconifies a window on its own (openbox, xfwm4) also gives it the focus.
// The manager forgets the state of a withdrawn window, and may do so after Qt
// has set it again for the new mapping: asked again once mapped.
void Form1::restore() {
  QWidget::hide();
  setWindowState(windowState() & ~Qt::WindowMinimized);
  show(Show::kWithoutFocus);
  if (windowFlags() & Qt::WindowStaysOnTopHint) x11::requestAbove(windowHandle());
}

// Set on the window itself rather than through QWidget, which would hide the
// window and forget its place. Qt's X11 code still makes a new X window for
// it at the next showing; the widgets, their texts and focus stay as they are.
void Form1::keepAbove(bool above) {
  create();
  overrideWindowFlags(windowFlags().setFlag(Qt::WindowStaysOnTopHint, above));
  windowHandle()->setFlag(Qt::WindowStaysOnTopHint, above);
}

// X11 asks the window manager to restack, never for the focus; elsewhere Qt's
// raise is all there is. Neither tells whether the desktop obliged.
bool Form1::raise(Stacking) {
  if (x11::available()) {
    x11::requestRaise(windowHandle());
  } else {
    QWidget::raise();
  }
  return true;
}

void Form1::requestAttention(bool wanted) {
  x11::setUrgent(windowHandle(), wanted);
  if (wanted && !x11::available()) QApplication::alert(this);
}

// An X window mapped anew goes to the workspace in use; Wayland puts a window
// where the compositor likes.
void Form1::toCurrentDesktop() {}

bool Form1::isHidden() const { return QWidget::isHidden(); }

bool Form1::isMinimised() const { return isMinimized(); }

bool Form1::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate) reminder_.windowActivated();
  return QWidget::event(event);
}

std::u16string Form1::textOfT1() const { return t1->text().toStdU16String(); }

std::u16string Form1::textOfT2() const { return t2->text().toStdU16String(); }

void checkAfterWake(Form1& window) {
  QDBusConnection::systemBus().connect(
      QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
      QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep"), &window,
      SLOT(prepareForSleep(bool)));
}
