// The three option dialogs as the user sees them: every label shown whole, the controls that
// must be there and enabled, the stored choices shown on opening, and the choices handed back;
// the application's font and Qt's own texts as the program sets them at start.
//
// ctest runs this file four times (tests/CMakeLists.txt): under LANG=C, under
// LANG=ja_JP.UTF-8, and under ja_JP.UTF-8 with IPAPGothic hidden from fontconfig, each with the
// other locale variables unset. fontconfig takes its language from LANG, and with it the
// localised family names and the fonts it falls back to; QLocale::system() reads it too.
// The fourth run is the first one again with the program in English (DTDEMO_LANG=en).
// DT_TEST_LOCALE names the locale a run expects, so that a run which did not get it fails.
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStyle>
#include <QStyleOption>

#include "app/DemoApp.h"
#include "distance/gui/DistanceTransformDialog.h"
#include "filtermorph/gui/FilterMorphologyDialog.h"
#include "gui/support/Gui.h"
#include "morphology/gui/MorphologyDialog.h"

using namespace dt;
using namespace dt::testing;

namespace {

const bool english = qEnvironmentVariable("DTDEMO_LANG") == QLatin1String("en");

// The ids of the checked buttons among ids.
QList<int> Checked(QDialog& dialog, std::initializer_list<int> ids) {
  QList<int> checked;
  for (int id : ids)
    if (Button(&dialog, id)->isChecked()) checked << id;
  return checked;
}

// The text a control shows, and the room the style leaves it: beside the indicator of a radio
// button or check box, inside the margins of a push button, a label's contents, from the title's
// place on a group box to the box's right edge.
QString TextOf(QWidget* widget, QRect* room) {
  QStyle* style = widget->style();
  if (auto* box = qobject_cast<QGroupBox*>(widget)) {
    QStyleOptionGroupBox option;
    option.initFrom(box);
    option.text = box->title();
    option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
    const QRect title =
        style->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, box);
    *room = QRect(title.left(), title.top(), box->width() - title.left(), title.height());
    return box->title();
  }
  if (auto* label = qobject_cast<QLabel*>(widget)) {
    *room = label->contentsRect();
    return label->text();
  }
  if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    const QStyle::SubElement contents =
        qobject_cast<QRadioButton*>(button)  ? QStyle::SE_RadioButtonContents
        : qobject_cast<QPushButton*>(button) ? QStyle::SE_PushButtonContents
                                             : QStyle::SE_CheckBoxContents;
    *room = style->subElementRect(contents, &option, button);
    return button->text();
  }
  return {};
}

// Every text fits its control, by the style's measure (size hint; a group box's minimum size
// hint) and by its advance in the control's font against the room the style leaves it; no two
// controls with a text overlap but for the group boxes round them, every control lies inside
// the dialog, and all are enabled but the ids given; 実行 is the default.
void ExpectWholeAndEnabled(QDialog& dialog, QList<int> disabled) {
  dialog.show();
  QVERIFY(QTest::qWaitForWindowExposed(&dialog));
  const auto controls = dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
  for (QWidget* widget : controls) {
    QRect room;
    const QString text = TextOf(widget, &room);
    if (widget->objectName().isEmpty() && text.isEmpty()) continue;
    const QString name = widget->objectName() + " " + text;
    if (!text.isEmpty()) {
      const bool box = qobject_cast<QGroupBox*>(widget) != nullptr;
      const int hint = box ? widget->minimumSizeHint().width() : widget->sizeHint().width();
      const int advance = widget->fontMetrics().horizontalAdvance(text);
      const QString sizes = QString(": %1 px wide, the style asks %2; text %3 px in %4 x %5")
                                .arg(widget->width())
                                .arg(hint)
                                .arg(advance)
                                .arg(room.width())
                                .arg(room.height());
      QVERIFY2(widget->width() >= hint, qPrintable(name + sizes));
      QVERIFY2(advance <= room.width() && widget->fontMetrics().height() <= room.height(),
               qPrintable(name + sizes));
      QVERIFY2(widget->rect().contains(room), qPrintable(name + sizes));
    }
    QVERIFY2(dialog.rect().contains(widget->geometry()), qPrintable(name));
    QCOMPARE(widget->isEnabled(), !disabled.contains(widget->objectName().toInt()));
    for (QWidget* other : controls) {
      QRect otherRoom;
      if (other != widget && !text.isEmpty() && !TextOf(other, &otherRoom).isEmpty() &&
          !qobject_cast<QGroupBox*>(other) && !qobject_cast<QGroupBox*>(widget))
        QVERIFY2(!widget->geometry().intersects(other->geometry()),
                 qPrintable(name + " overlaps " + other->objectName()));
    }
  }
  QVERIFY(qobject_cast<QPushButton*>(Button(&dialog, 1))->isDefault());
  dialog.reject();
}

}  // namespace

class DialogTest : public QObject {
  Q_OBJECT

 private slots:
  // The run is in the locale ctest gave it, with the application prepared as dtdemo prepares it.
  void initTestCase() {
    const QString expected = qEnvironmentVariable("DT_TEST_LOCALE");
    if (!expected.isEmpty()) QCOMPARE(QLocale::system().name(), expected);
    QVERIFY2(PrepareApplication(*qApp), "qtbase_ja.qm (qt6-translations-l10n) or dtdemo_en.qm");
    qInfo("locale %s; application font %s; dialog font %s", qPrintable(QLocale::system().name()),
          qPrintable(QFontInfo(QFont()).family()),
          qPrintable(QFontInfo(DistanceTransformDialog(nullptr).font()).family()));
  }

  void init() { ResetGlobalState(); }

  // The dialogs and the application are in the font the layouts are measured with, in every
  // locale (fontconfig names it "IPA Pゴシック" under ja_JP).
  void TheDialogFontIsIPAPGothic9Points() {
    if (!QFontDatabase::hasFamily("IPAPGothic")) QSKIP("IPAPGothic is not installed or is hidden");
    const QString ipaPGothic = QFontInfo(QFont("IPAPGothic")).family();
    DistanceTransformDialog transform(nullptr);
    MorphologyDialog morphology(nullptr);
    FilterMorphologyDialog filter(nullptr);
    for (QWidget* widget :
         std::initializer_list<QWidget*>{&transform, &morphology, &filter, Button(&filter, 1031)}) {
      QCOMPARE(QFontInfo(widget->font()).family(), ipaPGothic);
      QCOMPARE(widget->font().pointSize(), 9);
    }
    QCOMPARE(QFontInfo(QApplication::font()).family(), ipaPGothic);
    QCOMPARE(QApplication::font().pointSize(), 9);
  }

  // Qt's own texts are Japanese in every locale, English beside the English program; the
  // program's own buttons keep theirs.
  void QtsOwnTextsAreInTheProgramsLanguage() {
    const QString cancel = english ? "Cancel" : "キャンセル";
    QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QCOMPARE(buttons.button(QDialogButtonBox::Cancel)->text(), cancel);
    QFileDialog files(nullptr);
    files.setOption(QFileDialog::DontUseNativeDialog);
    files.setAcceptMode(QFileDialog::AcceptOpen);
    auto* box = files.findChild<QDialogButtonBox*>("buttonBox");
    QVERIFY(box != nullptr);
    QCOMPARE(box->button(QDialogButtonBox::Open)->text(), english ? "&Open" : "開く(&O)");
    QCOMPARE(box->button(QDialogButtonBox::Cancel)->text(), cancel);
    DistanceTransformDialog transform(nullptr);
    QCOMPARE(Button(&transform, 1)->text() + Button(&transform, 2)->text(),
             english ? "RunCancel" : "実行ｷｬﾝｾﾙ");
  }

  void EveryDialogShowsWholeLabelsAndItsControls() {
    DistanceTransformDialog transform(nullptr);
    ExpectWholeAndEnabled(transform, {1022});  // the triangle is shown, never chosen here
    MorphologyDialog morphology(nullptr);
    ExpectWholeAndEnabled(morphology, {});
    FilterMorphologyDialog filter(nullptr);
    ExpectWholeAndEnabled(filter, {1035});  // the filter's name is shown, not edited
  }

  // Every text the program shows is in its language: the menus, the dialogs, the messages of the
  // window and of the engine (with a file's name) and their captions. English has no Japanese
  // letter; Japanese, what the program shows unless asked otherwise, has them everywhere.
  void EveryTextIsInTheProgramsLanguage() {
    Shell shell;
    QStringList texts;
    for (QAction* action : shell.window->findChildren<QAction*>()) texts << action->text();
    DistanceTransformDialog transform(nullptr);
    MorphologyDialog morphology(nullptr);
    FilterMorphologyDialog filter(nullptr);
    QRect room;
    for (QDialog* dialog : std::initializer_list<QDialog*>{&transform, &morphology, &filter}) {
      texts << dialog->windowTitle();
      for (QWidget* widget : dialog->findChildren<QWidget*>()) texts << TextOf(widget, &room);
    }
    shell.services.messageAnswers = {MessageResult::Cancel};  // the question to quit
    shell.services.fileAnswers = {std::string("missing.xpm")};
    for (int id : {40007, 40043, 40036, 40034}) shell.window->TriggerCommand(id);  // quit, version,
    // the transform without a binary picture, loading (the file is missing)
    QCOMPARE(shell.services.messages.size(), size_t(4));
    for (const RecordedMessage& message : shell.services.messages)
      texts << QString::fromStdString(message.text) << QString::fromStdString(message.caption);
    texts.removeAll(QString());  // separators, hidden recent files, controls without a text
    QVERIFY(texts.size() > 60);
    const QRegularExpression japanese("[\\x{3000}-\\x{9fff}\\x{ff00}-\\x{ffef}]");
    for (const QString& text : texts)
      QVERIFY2(text.contains(japanese) != english, qPrintable(text));
  }

  // --lang wins over DTDEMO_LANG, in either spelling; the picture is the other argument.
  void TheCommandLineChoosesTheLanguage() {
    const StartOptions ja = ReadStartOptions({"dtdemo", "--lang", "ja", "a.xpm"}, "en");
    QVERIFY(ja.language == Language::japanese && ja.file == "a.xpm" && ja.problem.isEmpty());
    const StartOptions en = ReadStartOptions({"dtdemo", "--lang=fr", "--lang=en_GB"}, "ja");
    QVERIFY(en.language == Language::english && en.problem.contains("\"fr\"") && en.file.isEmpty());
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
    QCOMPARE(services.texts(), std::vector<std::string>{english ? "No operation has been chosen."
                                                                : "処理内容が選択されていません。"});
    for (int id : {1031, 1028, 1023, 1}) QTest::mouseClick(Button(&dialog, id), Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.operation, Operation::erosion);
    QCOMPARE(dialog.algorithm, FilterMethod::simple);
    QCOMPARE(dialog.measureTime, 1);
  }
};

QTEST_MAIN(DialogTest)
#include "DialogTest.moc"
