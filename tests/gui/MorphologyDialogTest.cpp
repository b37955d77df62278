// The morphology dialog on its own: its controls, the size field and what it hands back.
#include <QAbstractButton>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <algorithm>

#include "app/DialogLayout.h"
#include "gui/support/DialogScript.h"
#include "morphology/gui/MorphologyDialog.h"

using dt::MorphologyDialog;
using dt::testing::Button;
using dt::testing::CheckedIds;
using dt::testing::CompareWithResource;
using dt::testing::ResourceControl;
using dt::ParseFilterSize;

namespace {

QLineEdit* SizeField(QDialog& dialog) { return dialog.findChild<QLineEdit*>("1010"); }

}  // namespace

class MorphologyDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void ShowsEveryControlWithItsTextAndPlace() {
    MorphologyDialog dialog(nullptr);
    QCOMPARE(dialog.windowTitle(), QString("距離変換(UDT)を用いたモルフォロジー演算"));
    CompareWithResource(dialog, 261, 201, {
        {1014, "処理種別", 7, 8, 113, 120},
        {1036, "Dilation（太め処理）", 12, 26, 73, 10},
        {1037, "Erosion（細め処理）", 12, 44, 72, 10},
        {1038, "Opening（正雑音除去）", 12, 62, 81, 10},
        {1039, "Closing（負雑音除去）", 12, 80, 79, 10},
        {1017, "フィルタ形状", 132, 7, 116, 80},
        {1019, "[●] 円形フィルタ", 137, 19, 66, 10},
        {1020, "[◆] ダイヤモンド型フィルタ", 137, 36, 94, 10},
        {1021, "[■] 正方形フィルタ", 137, 53, 73, 10},
        {1022, "[▲] 三角形フィルタ", 137, 70, 73, 10},
        {1016, "フィルタサイズ（円半径に相当）", 132, 94, 116, 34},
        {1010, "", 145, 108, 30, 14},
        {1012, "", 174, 108, 9, 14},
        {65535, "その他設定", 7, 141, 241, 32},
        {1023, "処理時間を計測する（有効にすると処理過程を描画しません。）", 12, 155, 197, 10},
        {1, "実行", 145, 180, 50, 14},
        {2, "ｷｬﾝｾﾙ", 204, 180, 50, 14},
    }, [&](QWidget* widget, const ResourceControl&) {
      QVERIFY(widget->isEnabled());
    });
    if (QTest::currentTestFailed()) return;
    QVERIFY(qobject_cast<QPushButton*>(Button(dialog, 1))->isDefault());
  }

  void OpensWithoutOperationAndWithTheStoredShapeSizeAndTiming() {
    MorphologyDialog dialog(nullptr);
    dialog.show();  // the settings of a first run: circle, size 0, timing off
    QCOMPARE(CheckedIds(dialog, {1036, 1037, 1038, 1039}), QList<int>{});
    QCOMPARE(CheckedIds(dialog, {1019, 1020, 1021, 1022}), QList<int>{1019});
    QCOMPARE(SizeField(dialog)->text(), QString("0"));
    QVERIFY(!Button(dialog, 1023)->isChecked());
    dialog.reject();

    dialog.operation = 3;
    dialog.shape = 4;
    dialog.filterSize = 17;
    dialog.measureTime = 1;
    dialog.show();
    QCOMPARE(dialog.operation, 0);
    QCOMPARE(CheckedIds(dialog, {1036, 1037, 1038, 1039}), QList<int>{});
    QCOMPARE(CheckedIds(dialog, {1019, 1020, 1021, 1022}), QList<int>{1022});
    QCOMPARE(SizeField(dialog)->text(), QString("17"));
    QVERIFY(Button(dialog, 1023)->isChecked());
  }

  void RunHandsBackOperationShapeSizeAndTiming() {
    struct Case {
      int operationButton, shapeButton;
      const char* size;
      int operation, shape, filterSize;
    };
    const Case cases[] = {
        {1036, 1020, "3", 2, 2, 3},   {1037, 1021, "12", 3, 3, 12},
        {1038, 1022, "0", 7, 4, 0},   {1039, 1019, "100", 8, 1, 100},
        {0, 1021, "5", 0, 3, 5},
    };
    for (const Case& c : cases) {
      MorphologyDialog dialog(nullptr);
      dialog.show();
      if (c.operationButton) QTest::mouseClick(Button(dialog, c.operationButton), Qt::LeftButton);
      QTest::mouseClick(Button(dialog, c.shapeButton), Qt::LeftButton);
      SizeField(dialog)->setText(c.size);
      QTest::mouseClick(Button(dialog, 1023), Qt::LeftButton);
      QTest::mouseClick(Button(dialog, 1), Qt::LeftButton);
      QCOMPARE(dialog.result(), int(QDialog::Accepted));
      QCOMPARE(dialog.operation, c.operation);
      QCOMPARE(dialog.shape, c.shape);
      QCOMPARE(dialog.filterSize, c.filterSize);
      QCOMPARE(dialog.measureTime, 1);
    }
  }

  void TheSizeFieldIsReadAsAnUnsignedNumber() {
    const std::pair<const char*, int> cases[] = {
        {"12", 12},           {"  12abc", 12},    {"\t7", 7},
        {"007", 7},           {"-5", 0},          {"+5", 0},
        {"abc", 0},           {"", 0},            {"   ", 0},
        {"1 2", 1},           {"3.9", 3},         {"2147483647", 2147483647},
        // Beyond the largest int the size stays the largest, never a negative number.
        {"2147483648", 2147483647}, {"99999999999", 2147483647},
        {"4294967296", 2147483647}, {"123456789012345678901234567890", 2147483647},
        {"１２", 0},  // full-width digits are not digits of the field
    };
    for (const auto& [text, expected] : cases) {
      QCOMPARE(ParseFilterSize(QString::fromUtf8(text)), expected);
      MorphologyDialog dialog(nullptr);
      dialog.show();
      QTest::mouseClick(Button(dialog, 1036), Qt::LeftButton);
      const QString typed = QString::fromUtf8(text);
      SizeField(dialog)->clear();
      if (std::all_of(typed.begin(), typed.end(), [](QChar c) { return c >= ' ' && c <= '~'; }))
        QTest::keyClicks(SizeField(dialog), typed);  // typed, as a user would
      else
        SizeField(dialog)->setText(typed);
      QCOMPARE(SizeField(dialog)->text(), typed);
      QTest::mouseClick(Button(dialog, 1), Qt::LeftButton);
      QCOMPARE(dialog.filterSize, expected);
    }
  }

  void TheArrowsStepTheFieldWithinTheirRange() {
    MorphologyDialog dialog(nullptr);
    dialog.filterSize = 5;
    dialog.show();
    auto* upDown = qobject_cast<dt::UpDownControl*>(dialog.findChild<QWidget*>("1012"));
    QVERIFY(upDown != nullptr);
    upDown->Step(+1);
    QCOMPARE(SizeField(dialog)->text(), QString("6"));
    QTest::keyClick(SizeField(dialog), Qt::Key_Down);
    QTest::keyClick(SizeField(dialog), Qt::Key_Down);
    QCOMPARE(SizeField(dialog)->text(), QString("4"));
    QTest::keyClick(SizeField(dialog), Qt::Key_Up);
    QCOMPARE(SizeField(dialog)->text(), QString("5"));
    SizeField(dialog)->setText("0");
    upDown->Step(-1);
    QCOMPARE(SizeField(dialog)->text(), QString("0"));
    SizeField(dialog)->setText("250");  // typed beyond the arrows' range: they take it from 100
    upDown->Step(+1);
    QCOMPARE(SizeField(dialog)->text(), QString("100"));
    SizeField(dialog)->setText("x");
    upDown->Step(+1);
    QCOMPARE(SizeField(dialog)->text(), QString("1"));
    // The arrow buttons themselves.
    auto buttons = upDown->findChildren<QAbstractButton*>();
    QCOMPARE(buttons.size(), 2);
    for (QAbstractButton* b : buttons) QTest::mouseClick(b, Qt::LeftButton);
    QCOMPARE(SizeField(dialog)->text(), QString("1"));
  }

  void TheTimingBoxTogglesAndCancelHandsNothingBack() {
    MorphologyDialog dialog(nullptr);
    dialog.measureTime = 1;
    dialog.show();
    QTest::mouseClick(Button(dialog, 1023), Qt::LeftButton);
    QCOMPARE(dialog.measureTime, 0);
    QVERIFY(!Button(dialog, 1023)->isChecked());
    QTest::mouseClick(Button(dialog, 1037), Qt::LeftButton);
    SizeField(dialog)->setText("9");
    QTest::mouseClick(Button(dialog, 2), Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(dialog.operation, 0);
    QCOMPARE(dialog.filterSize, 0);
  }
};

QTEST_MAIN(MorphologyDialogTest)
#include "MorphologyDialogTest.moc"
