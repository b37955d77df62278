#include "app/OptionDialog.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

#include "app/DialogLayout.h"
#include "image/Choices.h"
#include "platform/qt/QtServices.h"

namespace dt {

OptionDialog::OptionDialog(QWidget* parent, const QString& title, int resourceId)
    : QDialog(parent) {
  setWindowTitle(title);
  setObjectName(QString::number(resourceId));
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint);
}

void OptionDialog::setVisible(bool visible) {
  if (visible && !isVisible()) {
    Initialise();
    timing_->setChecked(measureTime == 1);
  }
  QDialog::setVisible(visible);
}

void OptionDialog::AddTimingOption(DialogLayout& layout, int boxId, int y) {
  layout.Add<QGroupBox>(boxId, tr("その他設定"), 7, y, 241, 32);
  timing_ = layout.Add<QCheckBox>(
      1023, tr("処理時間を計測する（有効にすると処理過程を描画しません。）"), 12, y + 14, 197, 10);
  connect(timing_, &QCheckBox::clicked, this, [this] {
    measureTime = measureTime == 1 ? 0 : 1;
    timing_->setChecked(measureTime == 1);
  });
}

void OptionDialog::AddRunAndCancel(DialogLayout& layout, int y) {
  auto* run = layout.Add<QPushButton>(1, tr("実行"), 145, y, 50, 14);
  run->setDefault(true);
  run->setAutoDefault(true);
  auto* cancel = layout.Add<QPushButton>(2, tr("ｷｬﾝｾﾙ"), 204, y, 50, 14);
  cancel->setAutoDefault(false);
  connect(run, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

QButtonGroup* OptionDialog::AddOperationButtons(DialogLayout& layout, int firstId, int y) {
  auto* group = new QButtonGroup(this);
  const int widths[] = {73, 72, 81, 79};
  for (int k = 0; k < 4; ++k) {
    const OperationInfo& operation = operations[k];
    group->addButton(
        layout.Add<QRadioButton>(firstId + k, Translated(operation.label), 12, y + 18 * k,
                                 widths[k], 10),
        static_cast<int>(operation.value));
  }
  return group;
}

void UncheckAll(QButtonGroup* group) { CheckOnly(group, -1); }

void CheckOnly(QButtonGroup* group, int id) {
  group->setExclusive(false);
  for (QAbstractButton* button : group->buttons()) button->setChecked(group->id(button) == id);
  group->setExclusive(true);
}

}  // namespace dt
