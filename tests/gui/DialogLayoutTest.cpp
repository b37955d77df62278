// The dialog-unit layout helper: a Japanese dialog font, and positions in dialog units turned
// into pixels consistently, so that controls that meet in the tables meet on screen.
#include <QFontInfo>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "app/DialogLayout.h"

using namespace dt;

class DialogLayoutTest : public QObject {
  Q_OBJECT

 private slots:
  void dialogFontIsAJapaneseSansAtNinePoints();
  void unitsFollowTheFontMetrics();
  void adjacentControlsMeetWithoutGapOrOverlap();
  void controlsAreNamedByIdAndPlaced();
};

void DialogLayoutTest::dialogFontIsAJapaneseSansAtNinePoints() {
  const QFont font = DialogLayout::DialogFont();
  QCOMPARE(font.pointSize(), 9);
  const QString family = QFontInfo(font).family();
  QVERIFY2(family.contains("Gothic", Qt::CaseInsensitive) || family.contains("ゴシック") ||
               family.contains("CJK"),
           qPrintable(family));
  // The dialogs' texts render with real glyphs, not boxes.
  QVERIFY(QFontMetrics(font).inFont(QChar(0x8DDD)));  // 距
  QVERIFY(QFontMetrics(font).inFont(QChar(0x30E6)));  // ユ
}

void DialogLayoutTest::unitsFollowTheFontMetrics() {
  QDialog dialog;
  DialogLayout layout(&dialog, 200, 100);
  const QFontMetrics metrics(DialogLayout::DialogFont());
  QVERIFY(layout.unitX() > 0.5 && layout.unitX() < 10);
  QVERIFY(layout.unitY() > 0.5 && layout.unitY() < 10);
  // Four horizontal units are one average character, eight vertical units one line.
  QVERIFY(qAbs(layout.ToPixels(0, 0, 0, 8).height() - metrics.height()) <= 1);
  const double average =
      metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") / 52.0;
  QVERIFY(qAbs(layout.ToPixels(0, 0, 4, 0).width() - average) <= 1.0);
  QCOMPARE(dialog.size(), layout.ToPixels(0, 0, 200, 100).size());
  // Twice the units, twice the pixels (to within rounding).
  const QRect one = layout.ToPixels(10, 20, 50, 14);
  const QRect two = layout.ToPixels(20, 40, 100, 28);
  QVERIFY(qAbs(two.left() - 2 * one.left()) <= 1 && qAbs(two.width() - 2 * one.width()) <= 2);
  QVERIFY(qAbs(two.top() - 2 * one.top()) <= 1 && qAbs(two.height() - 2 * one.height()) <= 2);
}

void DialogLayoutTest::adjacentControlsMeetWithoutGapOrOverlap() {
  QDialog dialog;
  DialogLayout layout(&dialog, 300, 300);
  for (int x = 0; x < 150; x += 7)
    for (int w = 1; w < 40; w += 5) {
      const QRect left = layout.ToPixels(x, x, w, w);
      const QRect right = layout.ToPixels(x + w, x + w, 13, 13);
      QCOMPARE(left.right() + 1, right.left());
      QCOMPARE(left.bottom() + 1, right.top());
    }
}

void DialogLayoutTest::controlsAreNamedByIdAndPlaced() {
  QDialog dialog;
  DialogLayout layout(&dialog, 186, 95);
  auto* ok = layout.Add<QPushButton>(1, "OK", 129, 7, 50, 14);
  auto* label = layout.Add<QLabel>(-1, "距離関数", 7, 7, 60, 8);
  QCOMPARE(dialog.findChild<QPushButton*>("1"), ok);
  QCOMPARE(ok->geometry(), layout.ToPixels(129, 7, 50, 14));
  QCOMPARE(ok->text(), QString("OK"));
  QVERIFY(label->objectName().isEmpty());
  QCOMPARE(label->font().family(), DialogLayout::DialogFont().family());
  QVERIFY(ok->geometry().right() < dialog.width());
}

QTEST_MAIN(DialogLayoutTest)
#include "DialogLayoutTest.moc"
