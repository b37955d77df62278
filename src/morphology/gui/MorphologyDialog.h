// The "距離変換(UDT)を用いたモルフォロジー演算" dialog (resource 103): the operation, the filter
// shape, the filter size and the timing option. The caller fills shape, filterSize and
// measureTime before exec() and reads all four members back after 実行.
#pragma once

#include <QString>
#include <QWidget>
#include <cstdint>
#include <optional>

#include "app/OptionDialog.h"
#include "image/Choices.h"

class QButtonGroup;
class QLineEdit;
class QToolButton;

namespace dt {

// Reads a size field the way the dialog always has: leading blanks are skipped and the digits up
// to the first other character form the number; text without leading digits gives 0. A number
// beyond 2147483647 is taken as 2147483647, so a size is never negative.
int32_t ParseFilterSize(const QString& text);

// A pair of arrow buttons bound to an edit field at its right. A click (or the Up and Down keys
// in the field) reads the field's number, steps it by one within 0..100 and writes it back.
class UpDownControl : public QWidget {
  Q_OBJECT

 public:
  static constexpr int minimum = 0;
  static constexpr int maximum = 100;

  UpDownControl(QWidget* parent, QLineEdit* buddy);
  void Step(int delta);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  QLineEdit* buddy_;
  QToolButton* up_;
  QToolButton* down_;
};

class MorphologyDialog : public OptionDialog {
  Q_OBJECT

 public:
  static constexpr int resourceId = 103;

  explicit MorphologyDialog(QWidget* parent);

  std::optional<Operation> operation;  // none until the user chooses one
  DistanceFunction shape = DistanceFunction::euclid;
  int32_t filterSize = 0;  // the filter's radius

  void accept() override;

 private:
  void Initialise() override;

  QButtonGroup* operations_;
  QButtonGroup* shapes_;
  QLineEdit* size_;
};

}  // namespace dt
