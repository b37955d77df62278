// The three option dialogs as the user sees them: every label shown whole, the controls that
// must be there and enabled, the stored choices shown on opening, and the choices handed back.
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>

#include "distance/gui/DistanceTransformDialog.h"
#include "filtermorph/gui/FilterMorphologyDialog.h"
#include "gui/support/Gui.h"
#include "morphology/gui/MorphologyDialog.h"

using namespace dt;
using namespace dt::testing;

namespace {

// The ids of the checked buttons among ids.
QList<int> Checked(QDialog& dialog, std::initializer_list<int> ids) {
  QList<int> checked;
  for (int id : ids)
    if (Button(&dialog, id)->isChecked()) checked << id;
  return checked;
}

// Every text fits its control (beside the indicator of a radio button or check box), every
// control lies inside the dialog, and all are enabled but the ids given; 実行 is the default.
void ExpectWholeAndEnabled(QDialog& dialog, QList<int> disabled) {
  dialog.show();
  for (QWidget* widget : dialog.findChildren<QWidget*>()) {
    QString text;
    int room = widget->width();
    if (auto* box = qobject_cast<QGroupBox*>(widget)) {
      text = box->title();
      room -= 2 * dialog.style()->pixelMetric(QStyle::PM_LayoutLeftMargin);
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
      text = label->text();
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
      text = button->text();
      if (!qobject_cast<QPushButton*>(widget))
        room -= dialog.style()->pixelMetric(QStyle::PM_IndicatorWidth) +
                dialog.style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing);
    }
    if (widget->objectName().isEmpty() && text.isEmpty()) continue;
    QVERIFY2(widget->fontMetrics().horizontalAdvance(text) <= room, qPrintable(text));
    QVERIFY2(dialog.rect().contains(widget->geometry()), qPrintable(widget->objectName()));
    QCOMPARE(widget->isEnabled(), !disabled.contains(widget->objectName().toInt()));
  }
  QVERIFY(qobject_cast<QPushButton*>(Button(&dialog, 1))->isDefault());
  dialog.reject();
}

}  // namespace

class DialogTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { ResetGlobalState(); }

  void EveryDialogShowsWholeLabelsAndItsControls() {
    DistanceTransformDialog transform(nullptr);
    ExpectWholeAndEnabled(transform, {1022});  // the triangle is shown, never chosen here
    MorphologyDialog morphology(nullptr);
    ExpectWholeAndEnabled(morphology, {});
    FilterMorphologyDialog filter(nullptr);
    ExpectWholeAndEnabled(filter, {1035});  // the filter's name is shown, not edited
  }

  void TheMorphologyDialogHandsBackOperationShapeAndSize() {
    MorphologyDialog dialog(nullptr);
    dialog.shape = DistanceFunction::chessboard;
    dialog.filterSize = 17;
    dialog.show();
    auto* size = dialog.findChild<QLineEdit*>("1010");
    QCOMPARE(Checked(dialog, {1036, 1037, 1038, 1039}), QList<int>{});
    QCOMPARE(Checked(dialog, {1019, 1020, 1021, 1022}), QList<int>{1021});
    QCOMPARE(size->text(), QString("17"));
    // The arrows step the field within 0..100, also from the keyboard.
    const auto arrows = dialog.findChild<QWidget*>("1012")->findChildren<QAbstractButton*>();
    QCOMPARE(arrows.size(), 2);
    QTest::mouseClick(arrows[0], Qt::LeftButton);
    for (Qt::Key key : {Qt::Key_Up, Qt::Key_Down, Qt::Key_Down}) QTest::keyClick(size, key);
    QTest::mouseClick(arrows[1], Qt::LeftButton);
    QCOMPARE(size->text(), QString("16"));
    size->setText("250");
    QTest::keyClick(size, Qt::Key_Up);
    QCOMPARE(size->text(), QString("100"));
    size->setText("0");
    QTest::mouseClick(arrows[1], Qt::LeftButton);
    QCOMPARE(size->text(), QString("0"));
    // Only the leading digits of the field count; beyond 2147483647 it is 2147483647.
    for (const auto& [typed, read] :
         {std::pair{" 12abc", 12}, {"abc", 0}, {"-5", 0}, {"99999999999999", 2147483647}}) {
      dialog.show();
      QTest::mouseClick(Button(&dialog, 1039), Qt::LeftButton);
      QTest::mouseClick(Button(&dialog, 1022), Qt::LeftButton);
      size->setText(typed);
      QTest::mouseClick(Button(&dialog, 1), Qt::LeftButton);
      QCOMPARE(dialog.filterSize, read);
      QCOMPARE(dialog.operation, std::optional(Operation::closing));
      QCOMPARE(dialog.shape, DistanceFunction::triangle);
    }
    dialog.show();
    QCOMPARE(Checked(dialog, {1036, 1037, 1038, 1039}), QList<int>{});
    QCOMPARE(size->text(), QString("2147483647"));
  }

  // The filter dialog shows the filter's name, remembers the method, and keeps waiting for an
  // operation when 実行 is pressed without one.
  void TheFilterDialogWaitsForAnOperation() {
    RecordingServices services;
    filterFileName = "a-long-filter-name.xpm";
    FilterMorphologyDialog dialog(nullptr);
    dialog.algorithm = FilterMethod::decomposed;
    dialog.show();
    QCOMPARE(dialog.findChild<QLineEdit*>("1035")->text(), QString("a-long-filter-name.xpm"));
    QCOMPARE(Checked(dialog, {1030, 1031, 1032, 1033, 1028, 1029}), QList<int>{1029});
    QTest::mouseClick(Button(&dialog, 1), Qt::LeftButton);
    QVERIFY(dialog.isVisible());
    QCOMPARE(services.texts(), std::vector<std::string>{"処理内容が選択されていません。"});
    for (int id : {1031, 1028, 1023, 1}) QTest::mouseClick(Button(&dialog, id), Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.operation, Operation::erosion);
    QCOMPARE(dialog.algorithm, FilterMethod::simple);
    QCOMPARE(dialog.measureTime, 1);
  }
};

QTEST_MAIN(DialogTest)
#include "DialogTest.moc"
