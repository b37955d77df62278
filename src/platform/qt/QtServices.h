// The platform services of the desktop program on Qt: message boxes on QMessageBox, file dialogs
// on QFileDialog and std::exit; the engine's texts through Qt's translators.
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>

#include "platform/Platform.h"
#include "platform/Translate.h"

namespace dt {

// Every box is application-modal and, once the main window exists, parented to it, whether the
// shell or the engine raises it: no command can start while a box of another one is open.
class QtMessageService final : public MessageService {
 public:
  void SetOwnerWindow(QWidget* window) { owner_ = window; }
  // Runs before each box is shown; the main window uses it to bring pending drawing on screen.
  void SetBeforeShow(std::function<void()> hook) { beforeShow_ = std::move(hook); }

  MessageResult Show(const std::string& text, const std::string& caption,
                     MessageButtons buttons) override;

 private:
  QPointer<QWidget> owner_;
  std::function<void()> beforeShow_;
};

// Open and save dialogs in the working directory. A file chosen in another folder makes that
// folder the working directory, so the bare name that the engine is given opens it.
class QtFileDialogService final : public FileDialogService {
 public:
  void SetOwnerWindow(QWidget* window) { owner_ = window; }
  std::optional<std::string> Ask(const FileDialogRequest& request) override;

 private:
  QPointer<QWidget> owner_;
};

// The engine's translator on Qt (platform/Translate.h): a text marked
// QT_TRANSLATE_NOOP("dtcore", ...) as the translators installed in the application give it.
std::string TranslateOnQt(const char* text);

// An engine text (a label of image/Choices.h, say) in the language shown, for a widget.
inline QString Translated(const char* text) { return QString::fromStdString(Translate(text)); }

// The services of the desktop program, installed for the lifetime of this object.
class QtServices {
 public:
  QtServices();
  ~QtServices();
  QtServices(const QtServices&) = delete;
  QtServices& operator=(const QtServices&) = delete;

  void SetOwnerWindow(QWidget* window);

  QtMessageService messages;
  QtFileDialogService files;

 private:
  Services previous_;
};

}  // namespace dt
