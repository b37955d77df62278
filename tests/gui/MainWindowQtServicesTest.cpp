// The Qt message and file-dialog services the desktop program runs on, answered through the real
// dialogs.
#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMainWindow>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>

#include "gui/support/ShellHarness.h"
#include "platform/qt/QtServices.h"

using namespace dt;
using namespace dt::testing;

class MainWindowQtServicesTest : public QObject {
  Q_OBJECT

 private slots:
  void questionIsModalOwnedAndAnswered();
  void plainMessagesAreOwnedByTheMainWindowToo();
  void openDialogReturnsTheBareNameAndMovesToItsFolder();
  void saveDialogAddsTheSuffixAndAsksBeforeReplacing();
  void cancelledDialogReturnsNothing();
};

namespace {

QAbstractButton* Button(QDialog* dialog, QMessageBox::StandardButton which) {
  auto* box = qobject_cast<QMessageBox*>(dialog);
  return box ? box->button(which) : nullptr;
}

// Types a name into the dialog's file name field, as the user would. (selectFile leaves the field
// alone once it has the focus, so it cannot stand in for typing.)
void TypeFileName(QFileDialog* dialog, const QString& name) {
  auto* edit = dialog->findChild<QLineEdit*>("fileNameEdit");
  QVERIFY(edit);
  edit->setText(name);
}

void Touch(const QString& path) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write("x");
}

}  // namespace

void MainWindowQtServicesTest::questionIsModalOwnedAndAnswered() {
  QMainWindow owner;
  owner.show();
  QtServices services;
  services.SetOwnerWindow(&owner);
  int flushes = 0;
  services.messages.SetBeforeShow([&] { ++flushes; });

  QString text, title;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  Qt::WindowModality modality = Qt::NonModal;
  QWidget* parent = nullptr;
  bool hasCancel = false;
  auto answered = WhenDialogShown([&](QDialog* dialog) {
    auto* box = qobject_cast<QMessageBox*>(dialog);
    QVERIFY(box);
    text = box->text();
    title = box->windowTitle();
    icon = box->icon();
    modality = box->windowModality();
    parent = box->parentWidget();
    hasCancel = box->button(QMessageBox::Cancel) != nullptr;
    box->button(QMessageBox::Cancel)->click();
  });
  const MessageResult result = ShowMessage("終了しますか？", "デモ",
                                           MessageButtons::OkCancelQuestion, MessageOwner::MainWindow);
  QVERIFY(*answered);
  QVERIFY(result == MessageResult::Cancel);
  QCOMPARE(text, QString("終了しますか？"));
  QCOMPARE(title, QString("デモ"));
  QCOMPARE(icon, QMessageBox::Question);
  QCOMPARE(modality, Qt::ApplicationModal);
  QCOMPARE(parent, static_cast<QWidget*>(&owner));
  QVERIFY(hasCancel);
  QCOMPARE(flushes, 1);

  answered = WhenDialogShown([](QDialog* dialog) { Button(dialog, QMessageBox::Ok)->click(); });
  QVERIFY(ShowMessage("?", "t", MessageButtons::OkCancelQuestion) == MessageResult::Ok);
  QVERIFY(*answered);
}

void MainWindowQtServicesTest::plainMessagesAreOwnedByTheMainWindowToo() {
  QMainWindow owner;
  owner.show();
  QtServices services;
  services.SetOwnerWindow(&owner);
  QWidget* parent = nullptr;
  QMessageBox::Icon icon = QMessageBox::Question;
  int buttons = 0;
  Qt::WindowModality modality = Qt::NonModal;
  QString text;
  auto answered = WhenDialogShown([&](QDialog* dialog) {
    auto* box = qobject_cast<QMessageBox*>(dialog);
    parent = box->parentWidget();
    icon = box->icon();
    buttons = box->buttons().size();
    modality = box->windowModality();
    text = box->text();
    box->button(QMessageBox::Ok)->click();
  });
  // An engine message: no owner asked for, still modal to the main window.
  QVERIFY(ShowMessage("画像サイズは 3 × 2 です。\n白黒比率は 3：3 です。", "t") == MessageResult::Ok);
  QVERIFY(*answered);
  QCOMPARE(parent, static_cast<QWidget*>(&owner));
  QCOMPARE(icon, QMessageBox::NoIcon);
  QCOMPARE(buttons, 1);
  QCOMPARE(modality, Qt::ApplicationModal);
  QCOMPARE(text, QString("画像サイズは 3 × 2 です。\n白黒比率は 3：3 です。"));
}

void MainWindowQtServicesTest::openDialogReturnsTheBareNameAndMovesToItsFolder() {
  QTemporaryDir root;
  QVERIFY(QDir(root.path()).mkdir("pictures"));
  Touch(root.filePath("pictures/star.xpm"));
  WorkingDirectory here(root.path());
  QtServices services;
  ModalGuard guard;

  QString suffix, initial;
  QStringList filters;
  QFileDialog::AcceptMode mode = QFileDialog::AcceptSave;
  auto answered = WhenDialogShown([&](QDialog* dialog) {
    auto* files = qobject_cast<QFileDialog*>(dialog);
    QVERIFY(files);
    suffix = files->defaultSuffix();
    filters = files->nameFilters();
    mode = files->acceptMode();
    initial = QFileInfo(files->selectedFiles().value(0)).fileName();
    TypeFileName(files, root.filePath("pictures/star.xpm"));
    static_cast<QDialog*>(files)->accept();  // as the Open or Save button does
  });
  FileDialogRequest request;
  request.initialName = "dreamcast.xpm";
  request.defaultExtension = ".xpm";
  request.filter = "XPM files (*.xpm)";
  const auto name = CurrentServices().files->Ask(request);
  QVERIFY(*answered);
  QVERIFY(name.has_value());
  QCOMPARE(QString::fromStdString(*name), QString("star.xpm"));
  QCOMPARE(QFileInfo(QDir::currentPath()), QFileInfo(root.filePath("pictures")));
  QCOMPARE(suffix, QString("xpm"));
  QCOMPARE(filters, QStringList{"XPM files (*.xpm)"});
  QCOMPARE(mode, QFileDialog::AcceptOpen);
  QCOMPARE(initial, QString("dreamcast.xpm"));
  QVERIFY(!guard.fired());
}

void MainWindowQtServicesTest::saveDialogAddsTheSuffixAndAsksBeforeReplacing() {
  QTemporaryDir root;
  WorkingDirectory here(root.path());
  QtServices services;
  FileDialogRequest request;
  request.mode = FileDialogRequest::Mode::Save;
  request.initialName = "output.xpm";
  request.defaultExtension = ".xpm";
  request.filter = "XPM files (*.xpm)";
  request.overwritePrompt = true;
  ModalGuard guard;

  // A typed name without extension gets ".xpm".
  auto answered = WhenDialogShown([&](QDialog* dialog) {
    auto* files = qobject_cast<QFileDialog*>(dialog);
    QVERIFY(files);
    QCOMPARE(files->acceptMode(), QFileDialog::AcceptSave);
    TypeFileName(files, "result");
    static_cast<QDialog*>(files)->accept();  // as the Open or Save button does
  });
  auto name = CurrentServices().files->Ask(request);
  QVERIFY(*answered);
  QCOMPARE(QString::fromStdString(name.value_or("")), QString("result.xpm"));

  // An existing file: the replace question comes up, and Yes takes the name. (Made only now: an
  // existing initial name would be selected by the dialog as its folder loads, racing the typing.)
  Touch(root.filePath("output.xpm"));
  bool asked = false;
  answered = WhenDialogShown([&](QDialog* dialog) {
    auto* files = qobject_cast<QFileDialog*>(dialog);
    QVERIFY(files);
    WhenDialogShown([&](QDialog* question) {
      asked = qobject_cast<QMessageBox*>(question) != nullptr;
      if (auto* yes = Button(question, QMessageBox::Yes)) yes->click();
      else question->reject();
    });
    TypeFileName(files, "output.xpm");
    static_cast<QDialog*>(files)->accept();  // as the Open or Save button does
  });
  name = CurrentServices().files->Ask(request);
  QVERIFY(*answered);
  QVERIFY(asked);
  QCOMPARE(QString::fromStdString(name.value_or("")), QString("output.xpm"));
  QVERIFY(!guard.fired());
}

void MainWindowQtServicesTest::cancelledDialogReturnsNothing() {
  QTemporaryDir root;
  WorkingDirectory here(root.path());
  QtServices services;
  auto answered = WhenDialogShown([](QDialog* dialog) { dialog->reject(); });
  FileDialogRequest request;
  request.initialName = "dreamcast.xpm";
  QVERIFY(!CurrentServices().files->Ask(request).has_value());
  QVERIFY(*answered);
  QCOMPARE(QFileInfo(QDir::currentPath()), QFileInfo(root.path()));
}

QTEST_MAIN(MainWindowQtServicesTest)
#include "MainWindowQtServicesTest.moc"
