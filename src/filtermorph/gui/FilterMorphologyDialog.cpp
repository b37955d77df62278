#include "filtermorph/gui/FilterMorphologyDialog.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>

#include "app/DialogLayout.h"
#include "image/Globals.h"
#include "image/Messages.h"
#include "platform/Platform.h"
#include "platform/qt/QtServices.h"

namespace dt {

FilterMorphologyDialog::FilterMorphologyDialog(QWidget* parent)
    : OptionDialog(parent, tr("フィルタ画像によるモルフォロジー演算"), resourceId) {
  DialogLayout layout(this, 261, 201);

  layout.Add<QGroupBox>(1034, tr("フィルタ画像ファイル名"), 6, 7, 117, 27);
  // Shown, never edited: the file is chosen with the filter loading command.
  fileName_ = layout.AddPlain<QLineEdit>(1035, 10, 17, 109, 14);
  fileName_->setEnabled(false);
  fileName_->setFrame(true);

  layout.Add<QGroupBox>(1014, tr("処理種別"), 7, 42, 113, 92);
  operations_ = AddOperationButtons(layout, 1030, 59);

  layout.Add<QGroupBox>(1027, tr("アルゴリズム"), 132, 42, 116, 80);
  algorithms_ = new QButtonGroup(this);
  const auto method = [&](FilterMethod value, int id, int y, int w) {
    const QString label = Translated(InfoOf(value).label);
    algorithms_->addButton(layout.Add<QRadioButton>(id, label, 136, y, w, 10), CodeOf(value));
  };
  method(FilterMethod::simple, 1028, 60, 37);
  method(FilterMethod::decomposed, 1029, 80, 82);

  AddTimingOption(layout, 0, 141);

  AddRunAndCancel(layout, 180);
}

void FilterMorphologyDialog::Initialise() {
  fileName_->setText(QString::fromStdString(filterFileName));
  fileName_->setCursorPosition(0);
  operation = Operation::dilation;
  UncheckAll(operations_);
  algorithms_->button(CodeOf(algorithm))->setChecked(true);
}

void FilterMorphologyDialog::accept() {
  const int chosen = operations_->checkedId();
  if (chosen < 0) {
    ShowMessage(Translate(text::nothingChosen), Translate(text::errorCaption));
    return;
  }
  operation = static_cast<Operation>(chosen);
  algorithm = algorithms_->checkedId() == CodeOf(FilterMethod::decomposed)
                  ? FilterMethod::decomposed
                  : FilterMethod::simple;
  QDialog::accept();
}

}  // namespace dt
