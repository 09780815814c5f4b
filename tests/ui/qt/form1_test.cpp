// The window on Qt's offscreen platform, with the clock set by the test.
#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGlyphRun>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRawFont>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTextLayout>
#include <QTimer>
#include <limits>

#include "form1.h"
#include "tests/reminder/fakes.h"

using reminder::testing::FakeClock;

namespace {

// Whether every character of the text is drawn from a font that has a real
// glyph for it, and which families were used.
bool drawnWithRealGlyphs(const QString& text, const QFont& font, QStringList* families) {
  QTextLayout layout(text, font);
  layout.beginLayout();
  layout.createLine();
  layout.endLayout();
  qsizetype glyphs = 0;
  for (const QGlyphRun& run : layout.glyphRuns()) {
    families->append(run.rawFont().familyName());
    for (quint32 index : run.glyphIndexes()) {
      if (index == 0) return false;  // Glyph 0 is the font's "missing" box.
      ++glyphs;
    }
  }
  return glyphs == text.size();
}

bool hasJapanese(const QString& family) {
  return QFontDatabase::writingSystems(family).contains(QFontDatabase::Japanese);
}

}  // namespace

class Form1Test : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void init() {
    clock = std::make_unique<FakeClock>();
    clock->set(9, 0);
    form = std::make_unique<Form1>(*clock);
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
  }
  void cleanup() {
    form.reset();
    clock.reset();
  }

  void initialState() {
    QCOMPARE(form->windowTitle(), QStringLiteral("タイマセット"));
    QCOMPARE(box("t1")->text(), QString());
    QCOMPARE(box("t2")->text(), QString());
    QCOMPARE(box("Text3")->text(), QString());
    QCOMPARE(form->findChild<QPushButton*>("Command1")->text(), QStringLiteral("セット"));
    QCOMPARE(form->findChild<QLabel*>("Label1")->text(), QStringLiteral("："));
    QCOMPARE(QApplication::focusWidget(), form->findChild<QPushButton*>("Command1"));

    const Qt::WindowFlags flags = form->windowFlags();
    QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));

    const QList<QSize> iconSizes = form->windowIcon().availableSizes();
    QCOMPARE(iconSizes, QList<QSize>{QSize(32, 32)});

    auto* timer = form->findChild<QTimer*>("Timer1");
    QVERIFY(timer);
    QVERIFY(timer->isActive());
    QCOMPARE(timer->interval(), 20000);
    QVERIFY(!timer->isSingleShot());
  }

  void boxes_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("inputMethod");
    QTest::newRow("t1") << "t1" << false;
    QTest::newRow("t2") << "t2" << false;
    QTest::newRow("Text3") << "Text3" << true;
  }
  void boxes() {
    QFETCH(QString, name);
    QFETCH(bool, inputMethod);
    QLineEdit* edit = box(name);
    QCOMPARE(edit->maxLength(), std::numeric_limits<int>::max());
    QCOMPARE(edit->testAttribute(Qt::WA_InputMethodEnabled), inputMethod);
  }

  void geometry_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("rect");
    QTest::newRow("Text3") << "Text3" << QRect(0, 40, 153, 25);
    QTest::newRow("t2") << "t2" << QRect(48, 8, 33, 25);
    QTest::newRow("t1") << "t1" << QRect(0, 8, 33, 25);
    QTest::newRow("Command1") << "Command1" << QRect(88, 8, 65, 25);
    QTest::newRow("Label1") << "Label1" << QRect(32, 16, 17, 17);
  }
  void geometry() {
    QFETCH(QString, name);
    QFETCH(QRect, rect);
    auto* control = form->findChild<QWidget*>(name);
    QVERIFY(control);
    QCOMPARE(control->geometry(), rect);
    QVERIFY(control->isVisible());
  }

  void windowSizeAndPlace() {
    QCOMPARE(form->size(), QSize(157, 69));
    QCOMPARE(form->minimumSize(), form->maximumSize());
    // Centred up to the frame, which the platform only knows once shown.
    const QPoint offset = form->frameGeometry().center() -
                          QGuiApplication::primaryScreen()->availableGeometry().center();
    QVERIFY2(qAbs(offset.x()) <= 3 && qAbs(offset.y()) <= 3,
             qPrintable(QDebug::toString(form->frameGeometry())));
  }

  // Japanese text must never come out as empty boxes, whatever fonts the
  // machine has: the fixed fonts resolve to a Japanese family, and every
  // character of every control is drawn from a font that has it.
  void fonts_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<qreal>("pointSize");  // 0: the application font.
    QTest::addColumn<QString>("sample");
    QTest::newRow("t1") << "t1" << 12.0 << "１２時";
    QTest::newRow("t2") << "t2" << 12.0 << "３０分";
    QTest::newRow("Label1") << "Label1" << 11.25 << "：";
    QTest::newRow("Command1") << "Command1" << 0.0 << "セット";
    QTest::newRow("Text3") << "Text3" << 0.0 << "会議の準備をする";
  }
  void fonts() {
    QFETCH(QString, name);
    QFETCH(qreal, pointSize);
    QFETCH(QString, sample);
    auto* control = form->findChild<QWidget*>(name);
    const QFont font = control->font();
    if (pointSize > 0) {
      const QFontInfo info(font);
      QVERIFY2(hasJapanese(info.family()), qPrintable(info.family()));
      QCOMPARE(font.families().first(), QStringLiteral("ＭＳ Ｐゴシック"));
      QCOMPARE(font.pointSizeF(), pointSize);
      QVERIFY(info.bold());
      QVERIFY(!info.italic());
    } else {
      QCOMPARE(font, QApplication::font(control));
    }
    QStringList families;
    QVERIFY2(drawnWithRealGlyphs(sample, font, &families), qPrintable(families.join(',')));
  }

  void focusOrder() {
    const QStringList order{"t1", "t2", "Text3", "Command1"};
    for (const QString& name : order) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      QCOMPARE(QApplication::focusWidget()->objectName(), name);
    }
  }

  void enterInABoxSets_data() { boxes_data(); }
  void enterInABoxSets() {
    QFETCH(QString, name);
    box(name)->setFocus();
    QTest::keyClick(box(name), Qt::Key_Return);
    QVERIFY(form->isHidden());
  }

  // The round trip of a reminder through the real widgets: typed, armed with a
  // click, hidden through the ticks before the time, shown at the first tick
  // at it with every text as the user left it.
  void clickHidesAndTickShowsAgain() {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTest::keyClicks(QApplication::focusWidget(), "10");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTest::keyClicks(QApplication::focusWidget(), "30");
    box("Text3")->setFocus();
    box("Text3")->insert(QStringLiteral("会議の準備"));

    clock->set(10, 29);
    QTest::mouseClick(form->findChild<QPushButton*>("Command1"), Qt::LeftButton);
    QVERIFY(form->isHidden());

    tick();
    QVERIFY(form->isHidden());
    clock->set(10, 30);
    tick();
    QVERIFY(form->isVisible());
    QVERIFY(form->testAttribute(Qt::WA_ShowWithoutActivating));
    QCOMPARE(box("t1")->text(), QStringLiteral("10"));
    QCOMPARE(box("t2")->text(), QStringLiteral("30"));
    QCOMPARE(box("Text3")->text(), QStringLiteral("会議の準備"));

    tick();  // Still due: the window stays, one and the same.
    QVERIFY(form->isVisible());
    QCOMPARE(QApplication::topLevelWidgets().count(form.get()), 1);
  }

  // No length limit: a long paste is kept whole, read whole by the check, and
  // survives hiding and showing. Characters outside the basic plane too.
  void longTextKeptWhole() {
    const QString text = QStringLiteral("𠮷").repeated(100).append(QString(99800, u'7'));
    QCOMPARE(text.size(), 100000);
    for (const char* name : {"t1", "t2", "Text3"}) box(name)->insert(text);
    QCOMPARE(form->textOfT1(), text.toStdU16String());
    QCOMPARE(form->textOfT2(), text.toStdU16String());

    QTest::mouseClick(form->findChild<QPushButton*>("Command1"), Qt::LeftButton);
    QVERIFY(form->isHidden());
    form->show();
    for (const char* name : {"t1", "t2", "Text3"}) QCOMPARE(box(name)->text(), text);
  }

  void hidingKeepsTheApplicationClosingEndsIt() {
    quitWhenClosed(*form);
    bool ranWhileHidden = false;
    QTimer::singleShot(0, form.get(), [&] { form->hide(); });
    QTimer::singleShot(200, form.get(), [&] {
      ranWhileHidden = form->isHidden();
      form->close();
    });
    QTimer::singleShot(10000, qApp, [] { QCoreApplication::exit(3); });
    QCOMPARE(QApplication::exec(), 0);
    QVERIFY(ranWhileHidden);
  }

 private:
  QLineEdit* box(const QString& name) const { return form->findChild<QLineEdit*>(name); }
  void tick() const {
    QVERIFY(QMetaObject::invokeMethod(form->findChild<QTimer*>("Timer1"), "timeout"));
  }

  std::unique_ptr<FakeClock> clock;
  std::unique_ptr<Form1> form;
};

QTEST_MAIN(Form1Test)
#include "form1_test.moc"
