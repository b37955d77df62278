// The filter morphology dialog on its own: its controls, what it shows and what it hands back.
#include <QAbstractButton>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "app/DialogLayout.h"
#include "gui/support/DialogScript.h"
#include "filtermorph/gui/FilterMorphologyDialog.h"
#include "image/Globals.h"
#include "support/RecordingServices.h"

using dt::FilterMorphologyDialog;
using dt::testing::Button;
using dt::testing::CheckedIds;
using dt::testing::CompareWithResource;
using dt::testing::ResourceControl;

namespace {

QLineEdit* FileNameField(QDialog& dialog) { return dialog.findChild<QLineEdit*>("1035"); }

const std::initializer_list<int> operationIds = {1030, 1031, 1032, 1033};
const std::initializer_list<int> algorithmIds = {1028, 1029};

}  // namespace

class FilterMorphologyDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { dt::ResetGlobalState(); }
  void cleanup() { dt::ResetGlobalState(); }

  void ShowsEveryControlWithItsTextAndPlace() {
    FilterMorphologyDialog dialog(nullptr);
    QCOMPARE(dialog.windowTitle(), QString("フィルタ画像によるモルフォロジー演算"));
    CompareWithResource(dialog, 261, 201, {
        {1034, "フィルタ画像ファイル名", 6, 7, 117, 27},
        {1035, "", 10, 17, 109, 14},
        {1014, "処理種別", 7, 42, 113, 92},
        {1030, "Dilation（太め処理）", 12, 59, 73, 10},
        {1031, "Erosion（細め処理）", 12, 77, 72, 10},
        {1032, "Opening（正雑音除去）", 12, 95, 81, 10},
        {1033, "Closing（負雑音除去）", 12, 113, 79, 10},
        {1027, "アルゴリズム", 132, 42, 116, 80},
        {1028, "単純法", 136, 60, 37, 10},
        {1029, "１次元分解距離変換法", 136, 80, 82, 10},
        {1023, "処理時間を計測する（有効にすると処理過程を描画しません。）", 12, 155, 197, 10},
        {1, "実行", 145, 180, 50, 14},
        {2, "ｷｬﾝｾﾙ", 204, 180, 50, 14},
    }, [&](QWidget* widget, const ResourceControl& control) {
      QCOMPARE(widget->isEnabled(), control.id != 1035);
    });
    if (QTest::currentTestFailed()) return;
    // The unnamed group box around the timing option.
    QGroupBox* other = nullptr;
    for (QGroupBox* box : dialog.findChildren<QGroupBox*>())
      if (box->title() == "その他設定") other = box;
    QVERIFY(other != nullptr);
    QDialog probe;
    QCOMPARE(other->geometry(), dt::DialogLayout(&probe, 261, 201).ToPixels(7, 141, 241, 32));
    QVERIFY(qobject_cast<QPushButton*>(Button(dialog, 1))->isDefault());
  }

  void ShowsTheFilterFileNameReadOnly() {
    dt::filterFileName = "a-rather-long-filter-file-name-for-the-field.xpm";
    FilterMorphologyDialog dialog(nullptr);
    dialog.show();
    QLineEdit* field = FileNameField(dialog);
    QCOMPARE(field->text(), QString::fromStdString(dt::filterFileName));
    QVERIFY(!field->isEnabled());
    QVERIFY(field->hasFrame());
    QTest::keyClicks(field, "x");  // a disabled field takes no typing
    QCOMPARE(field->text(), QString::fromStdString(dt::filterFileName));
  }

  void OpensWithTheRememberedAlgorithmAndTimingButNoOperation() {
    FilterMorphologyDialog dialog(nullptr);
    dialog.show();  // the settings of a first run: simple, timing off
    QCOMPARE(CheckedIds(dialog, operationIds), QList<int>{});
    QCOMPARE(CheckedIds(dialog, algorithmIds), QList<int>{1028});
    QVERIFY(!Button(dialog, 1023)->isChecked());
    QTest::mouseClick(Button(dialog, 1032), Qt::LeftButton);
    QTest::mouseClick(Button(dialog, 1), Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));

    dialog.algorithm = 1;
    dialog.measureTime = 1;
    dialog.show();
    QCOMPARE(dialog.operation, 0);
    QCOMPARE(CheckedIds(dialog, operationIds), QList<int>{});
    QCOMPARE(CheckedIds(dialog, algorithmIds), QList<int>{1029});
    QVERIFY(Button(dialog, 1023)->isChecked());
  }

  void RunHandsBackOperationAlgorithmAndTiming() {
    struct Case {
      int operationButton, algorithmButton, timingClicks;
      int operation, algorithm, measureTime;
    };
    const Case cases[] = {
        {1030, 1028, 0, 0, 0, 0}, {1031, 1029, 1, 1, 1, 1},
        {1032, 1029, 2, 2, 1, 0}, {1033, 1028, 3, 3, 0, 1},
    };
    for (const Case& c : cases) {
      dt::testing::RecordingServices services;
      FilterMorphologyDialog dialog(nullptr);
      dialog.show();
      QTest::mouseClick(Button(dialog, c.operationButton), Qt::LeftButton);
      QTest::mouseClick(Button(dialog, c.algorithmButton), Qt::LeftButton);
      for (int i = 0; i < c.timingClicks; ++i)
        QTest::mouseClick(Button(dialog, 1023), Qt::LeftButton);
      QCOMPARE(Button(dialog, 1023)->isChecked(), c.measureTime == 1);
      QTest::mouseClick(Button(dialog, 1), Qt::LeftButton);
      QCOMPARE(dialog.result(), int(QDialog::Accepted));
      QVERIFY(!dialog.isVisible());
      QCOMPARE(dialog.operation, c.operation);
      QCOMPARE(dialog.algorithm, c.algorithm);
      QCOMPARE(dialog.measureTime, c.measureTime);
      QVERIFY(services.messages.empty());
    }
  }

  void RunWithoutAnOperationSaysSoAndWaitsForAChoice() {
    dt::testing::RecordingServices services;
    FilterMorphologyDialog dialog(nullptr);
    dialog.show();
    QTest::mouseClick(Button(dialog, 1029), Qt::LeftButton);
    QTest::mouseClick(Button(dialog, 1), Qt::LeftButton);
    QCOMPARE(services.texts(), std::vector<std::string>{"処理内容が選択されていません。"});
    QCOMPARE(services.messages[0].caption, std::string("エラー"));
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.algorithm, 0);  // nothing handed back yet

    QTest::mouseClick(Button(dialog, 1031), Qt::LeftButton);
    QTest::mouseClick(Button(dialog, 1), Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.operation, 1);
    QCOMPARE(dialog.algorithm, 1);
    QCOMPARE(services.messages.size(), std::size_t(1));
  }

  void CancelClosesWithoutHandingBack() {
    FilterMorphologyDialog dialog(nullptr);
    dialog.algorithm = 1;
    dialog.show();
    QTest::mouseClick(Button(dialog, 1030), Qt::LeftButton);
    QTest::mouseClick(Button(dialog, 1028), Qt::LeftButton);
    QTest::mouseClick(Button(dialog, 2), Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.algorithm, 1);
  }
};

QTEST_MAIN(FilterMorphologyDialogTest)
#include "FilterMorphologyDialogTest.moc"
