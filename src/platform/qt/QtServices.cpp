#include "platform/qt/QtServices.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QRegularExpression>
#include <QScreen>

namespace dt {

MessageResult QtMessageService::Show(const std::string& text, const std::string& caption,
                                     MessageButtons buttons) {
  if (beforeShow_) beforeShow_();
  const bool question = buttons == MessageButtons::OkCancelQuestion;
  QMessageBox box(question ? QMessageBox::Question : QMessageBox::NoIcon,
                  QString::fromStdString(caption), QString::fromStdString(text),
                  question ? QMessageBox::Ok | QMessageBox::Cancel : QMessageBox::Ok,
                  owner_.data());
  box.setTextFormat(Qt::PlainText);
  box.setWindowModality(Qt::ApplicationModal);
  box.setDefaultButton(QMessageBox::Ok);
  box.setEscapeButton(question ? QMessageBox::Cancel : QMessageBox::Ok);
  // A message in the middle of a long task, the wait cursor up, is answered with the arrow.
  const bool busy = QGuiApplication::overrideCursor() != nullptr;
  if (busy) QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
  box.exec();
  if (busy) QGuiApplication::restoreOverrideCursor();
  return box.clickedButton() == box.button(QMessageBox::Ok) ? MessageResult::Ok
                                                            : MessageResult::Cancel;
}

std::optional<std::string> QtFileDialogService::Ask(const FileDialogRequest& request) {
  const bool save = request.mode == FileDialogRequest::Mode::Save;
  QFileDialog dialog(owner_.data());
  dialog.setWindowModality(Qt::ApplicationModal);
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.overwritePrompt);
  dialog.setDirectory(QDir::current());
  if (!request.filter.empty()) dialog.setNameFilter(QString::fromStdString(request.filter));
  QString suffix = QString::fromStdString(request.defaultExtension);
  if (suffix.startsWith('.')) suffix.remove(0, 1);
  dialog.setDefaultSuffix(suffix);
  // A name typed without an extension gets the one of the chosen type ("PNG files (*.png)").
  QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                   [&dialog, suffix](const QString& filter) {
                     const QRegularExpressionMatch first =
                         QRegularExpression(QStringLiteral("\\*\\.(\\w+)")).match(filter);
                     dialog.setDefaultSuffix(first.hasMatch() ? first.captured(1) : suffix);
                   });
  dialog.selectFile(QString::fromStdString(request.initialName));
  // Within the screen, also on a small one.
  if (const QScreen* screen = dialog.screen())
    dialog.resize(dialog.sizeHint().boundedTo(screen->availableGeometry().size() * 9 / 10));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;

  const QFileInfo chosen(dialog.selectedFiles().constFirst());
  const QString folder = chosen.absolutePath();
  if (QFileInfo(folder) != QFileInfo(QDir::currentPath())) QDir::setCurrent(folder);
  return chosen.fileName().toStdString();
}

std::string TranslateOnQt(const char* text) {
  return QCoreApplication::translate("dtcore", text).toStdString();
}

QtServices::QtServices() : previous_(CurrentServices()) {
  InstallServices(Services{&messages, &files});
}

QtServices::~QtServices() { InstallServices(previous_); }

void QtServices::SetOwnerWindow(QWidget* window) {
  messages.SetOwnerWindow(window);
  files.SetOwnerWindow(window);
}

}  // namespace dt
