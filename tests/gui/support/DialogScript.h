// Helpers the window and dialog tests share: finding a dialog's buttons by id, answering a dialog
// with clicks, small two-colour pictures as rows of text, and the message texts shown so far.
#pragma once

#include <QAbstractButton>
#include <QDialog>
#include <QFile>
#include <QGroupBox>
#include <QList>
#include <QStringList>
#include <QtTest>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "app/DialogLayout.h"
#include "gui/support/ShellHarness.h"
#include "image/Globals.h"

namespace dt::testing {

// The button of a dialog by its id; a missing button ends the test run.
inline QAbstractButton* Button(QDialog* dialog, int id) {
  auto* button = dialog->findChild<QAbstractButton*>(QString::number(id));
  if (button == nullptr) qFatal("no button %d", id);
  return button;
}
inline QAbstractButton* Button(QDialog& dialog, int id) { return Button(&dialog, id); }

// Which of the buttons ids are checked, in the order given.
inline QList<int> CheckedIds(QDialog& dialog, std::initializer_list<int> ids) {
  QList<int> checked;
  for (int id : ids)
    if (Button(dialog, id)->isChecked()) checked << id;
  return checked;
}

// Answers the next dialog: looks at it (inspect), clicks the buttons in order, fills it in further
// (beforeClose), then closes it with 実行 (1) or ｷｬﾝｾﾙ (2).
inline std::shared_ptr<bool> AnswerDialog(std::vector<int> clicks, int closeWith = 1,
                                          std::function<void(QDialog*)> inspect = {},
                                          std::function<void(QDialog*)> beforeClose = {}) {
  return WhenDialogShown([=](QDialog* dialog) {
    if (inspect) inspect(dialog);
    for (int id : clicks) QTest::mouseClick(Button(dialog, id), Qt::LeftButton);
    if (beforeClose) beforeClose(dialog);
    QTest::mouseClick(Button(dialog, closeWith), Qt::LeftButton);
  });
}

// The texts of the messages shown so far.
inline QStringList Texts(const ShellHarness& shell) {
  QStringList texts;
  for (const auto& text : shell.Texts()) texts << QString::fromStdString(text);
  return texts;
}

using Rows = std::vector<std::string>;  // '#' white (foreground), '.' black

// Writes rows as a two-colour XPM file.
inline void WriteXpm(const QString& path, const Rows& rows) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  QByteArray text = "/* XPM */\nstatic char *picture[] = {\n";
  text += QByteArray("\"") + QByteArray::number(int(rows[0].size())) + " " +
          QByteArray::number(int(rows.size())) + " 2 1\",\n\". c #000000\",\n\"# c #ffffff\",\n";
  for (std::size_t r = 0; r < rows.size(); ++r)
    text += "\"" + QByteArray::fromStdString(rows[r]) + (r + 1 < rows.size() ? "\",\n" : "\"\n");
  text += "};\n";
  file.write(text);
}

// A binary image of the size of the input image as rows.
inline Rows Current(const ImageRecord& image) {
  Rows rows(InputImage.height, std::string(InputImage.width, '.'));
  for (int y = 0; y < InputImage.height; ++y)
    for (int x = 0; x < InputImage.width; ++x)
      if (image.rows[y][x] == 1) rows[y][x] = '#';
  return rows;
}

// The canvas as rows of '#' (white) and '.' (black); '?' for any other colour.
inline Rows CanvasRows(const ShellHarness& shell, int width, int height) {
  Rows rows(height, std::string(width, '?'));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const QRgb c = shell.Pixel(x, y);
      rows[y][x] = c == 0xFFFFFF ? '#' : c == 0 ? '.' : '?';
    }
  return rows;
}

// One control of a dialog resource: its id, text and place in dialog units.
struct ResourceControl {
  int id;
  const char* text;
  int x, y, w, h;
};

// Compares a dialog with its resource: the size (widthUnits x heightUnits dialog units, converted
// as the program converts them) and every listed control's text and geometry; then
// check(widget, control) for each. A failure ends the comparison; the caller returns when
// QTest::currentTestFailed().
inline void CompareWithResource(
    QDialog& dialog, int widthUnits, int heightUnits,
    std::initializer_list<ResourceControl> controls,
    const std::function<void(QWidget*, const ResourceControl&)>& check) {
  QDialog probe;
  DialogLayout units(&probe, widthUnits, heightUnits);
  QCOMPARE(dialog.size(), probe.size());
  for (const ResourceControl& control : controls) {
    auto* widget = dialog.findChild<QWidget*>(QString::number(control.id));
    QVERIFY2(widget != nullptr, qPrintable(QString::number(control.id)));
    QString text;
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) text = button->text();
    if (auto* box = qobject_cast<QGroupBox*>(widget)) text = box->title();
    QCOMPARE(text, QString::fromUtf8(control.text));
    QCOMPARE(widget->geometry(), units.ToPixels(control.x, control.y, control.w, control.h));
    check(widget, control);
    if (QTest::currentTestFailed()) return;
  }
}

}  // namespace dt::testing

// Lets QCOMPARE print rows, one per line.
namespace QTest {
template <>
inline char* toString(const dt::testing::Rows& rows) {
  QByteArray text;
  for (const auto& row : rows) text += QByteArray::fromStdString(row) + "\n";
  return qstrdup(text.constData());
}
}  // namespace QTest
