// What the option dialogs of the image commands share: the window frame, the "その他設定" box with
// the timing check box 1023, the 実行 / ｷｬﾝｾﾙ buttons, and the initialisation of the controls from
// the members each time the dialog is shown.
#pragma once

#include <QDialog>
#include <cstdint>

class QButtonGroup;
class QCheckBox;

namespace dt {

class DialogLayout;

class OptionDialog : public QDialog {
  Q_OBJECT

 public:
  int32_t measureTime = 0;  // 1 = time the run and draw nothing while it runs

  // Showing the dialog sets its controls from the members, as the dialog's initialisation does.
  void setVisible(bool visible) override;

 protected:
  // A dialog titled title and named by its resource id, with a close button and no help button.
  OptionDialog(QWidget* parent, const QString& title, int resourceId);

  // Sets the dialog's own controls from the members; the timing check box is set afterwards.
  virtual void Initialise() = 0;

  // The "その他設定" box (id boxId) at the left with its top at y, holding the timing check box.
  // Clicking the check box toggles measureTime.
  void AddTimingOption(DialogLayout& layout, int boxId, int y);
  // 実行 (id 1, the default button: accept) and ｷｬﾝｾﾙ (id 2: reject) at the right, with their top
  // at y.
  void AddRunAndCancel(DialogLayout& layout, int y);
  // The four operations as radio buttons, ids firstId.. from the top y down, in a new group
  // whose ids are the operations.
  QButtonGroup* AddOperationButtons(DialogLayout& layout, int firstId, int y);

 private:
  QCheckBox* timing_ = nullptr;
};

// Unchecks every button of an exclusive group.
void UncheckAll(QButtonGroup* group);
// Checks the button with the given id and unchecks the others; no button is checked when no
// button has that id.
void CheckOnly(QButtonGroup* group, int id);

}  // namespace dt
