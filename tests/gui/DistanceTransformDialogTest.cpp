// The distance transform dialog on its own: what it shows when it opens and what it hands back.
#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "app/DialogLayout.h"
#include "gui/support/DialogScript.h"
#include "distance/gui/DistanceTransformDialog.h"

using dt::DistanceTransformDialog;
using dt::testing::Button;
using dt::testing::CheckedIds;
using dt::testing::CompareWithResource;
using dt::testing::ResourceControl;

namespace {

}  // namespace

class DistanceTransformDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void ShowsEveryControlWithItsTextAndPlace() {
    DistanceTransformDialog dialog(nullptr);
    QCOMPARE(dialog.windowTitle(), QString("距離変換"));

    // The dialog is 261 x 151 units; a unit is a quarter of the average character width across
    // and an eighth of the character height down.
    CompareWithResource(dialog, 261, 151, {
        {1014, "アルゴリズム", 7, 7, 119, 80},
        {1000, "距離変換アルゴリズム１ Ｏ(n^2)", 12, 22, 109, 10},
        {1003, "距離変換アルゴリズム２ Ｏ(n^3)", 12, 47, 109, 10},
        {1004, "単純距離変換 Ｏ(n^4)", 12, 64, 79, 10},
        {1017, "距離関数", 132, 7, 116, 80},
        {1019, "Euclid 距離 [●]", 137, 19, 63, 10},
        {1020, "CItyblock 距離 [◆]", 137, 36, 73, 10},
        {1021, "Chessborad 距離 [■]", 137, 53, 80, 10},
        {1022, "オリジナル三角形距離 [▲]", 137, 70, 95, 10},
        {1023, "処理時間を計測する（有効にすると処理過程を描画しません。）", 12, 106, 197, 10},
        {1, "実行", 145, 130, 50, 14},
        {2, "ｷｬﾝｾﾙ", 204, 130, 50, 14},
    }, [&](QWidget* widget, const ResourceControl&) {
      QVERIFY(dialog.rect().contains(widget->geometry()));
    });
    if (QTest::currentTestFailed()) return;
    QStringList labels;
    for (auto* label : dialog.findChildren<QLabel*>()) labels << label->text();
    QVERIFY(labels.contains("（ＵＤＴアルゴリズム）"));
    QStringList boxes;
    for (auto* box : dialog.findChildren<QGroupBox*>()) boxes << box->title();
    QVERIFY(boxes.contains("その他設定"));
    QVERIFY(qobject_cast<QPushButton*>(Button(dialog, 1))->isDefault());
    QVERIFY(!qobject_cast<QPushButton*>(Button(dialog, 2))->isDefault());
  }

  void OpensWithNoAlgorithmAndTheStoredSettings() {
    DistanceTransformDialog dialog(nullptr);
    dialog.distanceFunction = 2;
    dialog.measureTime = 1;
    dialog.algorithm = 5;  // whatever was there, the dialog opens without an algorithm
    dialog.show();
    QCOMPARE(CheckedIds(dialog, {1000, 1003, 1004}), QList<int>{});
    QCOMPARE(CheckedIds(dialog, {1019, 1020, 1021, 1022}), QList<int>{1020});
    QVERIFY(Button(dialog, 1023)->isChecked());
    QVERIFY(!Button(dialog, 1022)->isEnabled());
    for (int id : {1000, 1003, 1004, 1019, 1020, 1021, 1023, 1, 2})
      QVERIFY2(Button(dialog, id)->isEnabled(), qPrintable(QString::number(id)));
    QCOMPARE(dialog.algorithm, 0);
  }

  void ShowsTheDisabledTriangleCheckedWhenTheTriangleIsSelected() {
    DistanceTransformDialog dialog(nullptr);
    dialog.distanceFunction = 4;
    dialog.show();
    QCOMPARE(CheckedIds(dialog, {1019, 1020, 1021, 1022}), QList<int>{1022});
    QVERIFY(!Button(dialog, 1022)->isEnabled());
    // A click on the disabled button changes nothing.
    QTest::mouseClick(Button(dialog, 1022), Qt::LeftButton);
    QCOMPARE(CheckedIds(dialog, {1019, 1020, 1021, 1022}), QList<int>{1022});
    // 実行 keeps the triangle.
    QTest::mouseClick(Button(dialog, 1000), Qt::LeftButton);
    QTest::mouseClick(Button(dialog, 1), Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.distanceFunction, 4);
    QCOMPARE(dialog.algorithm, 1);
  }

  void TheTimingBoxTogglesTheSettingWithEachClick() {
    DistanceTransformDialog dialog(nullptr);
    dialog.measureTime = 0;
    dialog.show();
    QAbstractButton* box = Button(dialog, 1023);
    QVERIFY(!box->isChecked());
    QTest::mouseClick(box, Qt::LeftButton);
    QCOMPARE(dialog.measureTime, 1);
    QVERIFY(box->isChecked());
    QTest::mouseClick(box, Qt::LeftButton);
    QCOMPARE(dialog.measureTime, 0);
    QVERIFY(!box->isChecked());
    // The keyboard toggles it as well.
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Space);
    QCOMPARE(dialog.measureTime, 1);
    QVERIFY(box->isChecked());
  }

  void RunHandsBackTheCheckedButtons() {
    struct Case {
      int algorithmButton, functionButton, algorithm, function;
    };
    for (const Case& c : {Case{1000, 1019, 1, 1}, Case{1003, 1021, 4, 3}, Case{1004, 1020, 5, 2},
                          Case{0, 1021, 0, 3}}) {
      DistanceTransformDialog dialog(nullptr);
      dialog.distanceFunction = 1;
      dialog.show();
      if (c.algorithmButton) QTest::mouseClick(Button(dialog, c.algorithmButton), Qt::LeftButton);
      QTest::mouseClick(Button(dialog, c.functionButton), Qt::LeftButton);
      QTest::mouseClick(Button(dialog, 1), Qt::LeftButton);
      QCOMPARE(dialog.result(), int(QDialog::Accepted));
      QCOMPARE(dialog.algorithm, c.algorithm);
      QCOMPARE(dialog.distanceFunction, c.function);
    }
  }

  void AlgorithmButtonsExcludeEachOtherButNotTheDistanceButtons() {
    DistanceTransformDialog dialog(nullptr);
    dialog.show();
    QTest::mouseClick(Button(dialog, 1000), Qt::LeftButton);
    QTest::mouseClick(Button(dialog, 1004), Qt::LeftButton);
    QTest::mouseClick(Button(dialog, 1020), Qt::LeftButton);
    QCOMPARE(CheckedIds(dialog, {1000, 1003, 1004}), QList<int>{1004});
    QCOMPARE(CheckedIds(dialog, {1019, 1020, 1021, 1022}), QList<int>{1020});
  }

  void ReopeningForgetsTheLastAlgorithm() {
    DistanceTransformDialog dialog(nullptr);
    dialog.show();
    QTest::mouseClick(Button(dialog, 1003), Qt::LeftButton);
    QTest::mouseClick(Button(dialog, 1), Qt::LeftButton);
    QCOMPARE(dialog.algorithm, 4);
    dialog.show();
    QCOMPARE(CheckedIds(dialog, {1000, 1003, 1004}), QList<int>{});
    QCOMPARE(dialog.algorithm, 0);
  }

  void CancelAndEscapeReject() {
    DistanceTransformDialog dialog(nullptr);
    dialog.show();
    QTest::mouseClick(Button(dialog, 1000), Qt::LeftButton);
    QTest::mouseClick(Button(dialog, 2), Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(dialog.algorithm, 0);
    dialog.show();
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QVERIFY(!dialog.isVisible());
  }
};

QTEST_MAIN(DistanceTransformDialogTest)
#include "DistanceTransformDialogTest.moc"
