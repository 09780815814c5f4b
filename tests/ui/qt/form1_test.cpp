#include <QtTest>
#include <QtWidgets>

#include "form1.h"
#include "tests/reminder/fakes.h"

// 100,000 UTF-16 units, some outside the basic plane: past QLineEdit's default limit of 32767.
const QString kLongText = QStringLiteral("𠮷").repeated(100) + QString(99800, u'7');

// pointSize 0: the application font; otherwise the bold Japanese Gothic. In
// screen order, which is also the order a screen reader reads them in.
struct Control {
  const char *name, *text;
  QRect rect;
  qreal pointSize;
  QAccessible::Role role;
  const char *accessibleName, *description;
};
const Control kControls[] = {
    {"t1", "", {0, 8, 33, 25}, 12, QAccessible::EditableText, "時", "時（0〜23）"},
    {"Label1", "：", {32, 16, 17, 17}, 11.25, QAccessible::StaticText, "：", ""},
    {"t2", "", {48, 8, 33, 25}, 12, QAccessible::EditableText, "分", "分（0〜59）"},
    {"Command1", "セット", {88, 8, 65, 25}, 0, QAccessible::Button, "セット", ""},
    {"Text3", "", {0, 40, 153, 25}, 0, QAccessible::EditableText, "メモ", ""},
};

class Form1Test : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void init() {
    form = std::make_unique<Form1>(clock);
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
  }

  void window() {
    const QList<QSize> sizes{form->size(), form->minimumSize(), form->maximumSize()};
    QCOMPARE(sizes, QList<QSize>(3, QSize(157, 69)));
    const auto buttons = Qt::WindowCloseButtonHint | Qt::WindowMinMaxButtonsHint;
    QCOMPARE(form->windowFlags() & buttons, Qt::WindowFlags(Qt::WindowCloseButtonHint));
  }

  void controls_data() {
    QTest::addColumn<const Control*>("control");
    for (const Control& c : kControls) QTest::newRow(c.name) << &c;
  }
  void controls() {
    QFETCH(const Control*, control);
    auto* widget = form->findChild<QWidget*>(control->name);
    QVERIFY(widget && widget->isVisible());
    // What a screen reader is given: the window, and its controls in screen order.
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(form.get());
    QCOMPARE(std::pair(window->role(), window->text(QAccessible::Name)),
             std::pair(QAccessible::Window, QStringLiteral("タイマセット")));
    QAccessibleInterface* read = window->child(int(control - kControls));
    QCOMPARE(read->object(), widget);
    QCOMPARE(std::tuple(read->role(), read->text(QAccessible::Name),
                        read->text(QAccessible::Description), read->state().focusable),
             std::tuple(control->role, QString(control->accessibleName),
                        QString(control->description), control->role != QAccessible::StaticText));
    QCOMPARE(widget->property("text").toString(), control->text);
    QCOMPARE(widget->geometry(), control->rect);
    const QFont font = widget->font();
    QCOMPARE(font == QApplication::font(widget), control->pointSize == 0);
    if (control->pointSize > 0) {
      QCOMPARE(font.families().first(), QStringLiteral("ＭＳ Ｐゴシック"));
      QCOMPARE(font.pointSizeF(), control->pointSize);
      const QFontInfo resolved(font);
      QVERIFY(resolved.bold());
      QVERIFY2(QFontDatabase::writingSystems(resolved.family()).contains(QFontDatabase::Japanese),
               qPrintable(resolved.family()));
    }
    if (auto* box = qobject_cast<QLineEdit*>(widget)) {
      box->insert(kLongText);
      QCOMPARE(box->text(), kLongText);
    }
  }

  // Back where the user left it if that lies wholly on a screen's work area,
  // else centred on the primary one's (a monitor unplugged while hidden).
  void popsUpOnAScreen() {
    const QPoint centre = QGuiApplication::primaryScreen()->availableGeometry().center();
    form->findChild<QLineEdit*>("t1")->setText("99");  // Due at every tick.
    for (const auto& [movedTo, stays] :
         {std::pair{QPoint(10, 20), true}, {QPoint(5000, 4000), false}, {QPoint(-60, 20), false}}) {
      QTest::mouseClick(form->findChild<QWidget*>("Command1"), Qt::LeftButton);
      QVERIFY(!(form->windowHandle()->flags() & Qt::WindowStaysOnTopHint));  // Ordinary again.
      form->move(movedTo);
      tick();
      QVERIFY(form->isVisible() && form->windowHandle()->flags() & Qt::WindowStaysOnTopHint);
      QCOMPARE(stays ? form->frameGeometry().topLeft() : form->frameGeometry().center(),
               stays ? movedTo : centre);
    }
  }

 private:
  QTimer* timer() const { return form->findChild<QTimer*>("Timer1"); }
  void tick() const { QVERIFY(QMetaObject::invokeMethod(timer(), "timeout")); }

  reminder::testing::FakeClock clock;
  std::unique_ptr<Form1> form;
};

QTEST_MAIN(Form1Test)
#include "form1_test.moc"
