// The envelope plot from the main window: 表示 → 行の下側包絡線を表示 and a click on the canvas,
// or a Shift+click, opens the plot of that row of the current distance map; the column under the
// plot's pointer is marked on the canvas.
#include <QStatusBar>

#include "app/MainWindow.h"
#include "distance/gui/EnvelopePlot.h"
#include "image/Globals.h"
#include "image/Messages.h"

namespace dt {

namespace {

const char* const pickRow =
    QT_TRANSLATE_NOOP("dt::MainWindow", "下側包絡線を表示する行を距離画像の上でクリックしてください。");
const char* const noMapOfTransform =
    QT_TRANSLATE_NOOP("dt::MainWindow", "距離変換の結果の距離画像がありません。");

}  // namespace

void MainWindow::OnEnvelopePlot() {
  canvas()->pickingRow = true;
  statusBar()->showMessage(tr(pickRow), 10000);
}

void MainWindow::OpenEnvelopePlot(int row) {
  statusBar()->clearMessage();
  if (WorkImage.kind != distanceKind || !lastTransform || InputImage.rows == nullptr) {
    ShowMessage(tr(noMapOfTransform).toStdString(), Translate(text::errorCaption));
    return;
  }
  if (row < 0 || row >= InputImage.height) return;  // a click beside the picture
  // The simple transform always measures Euclidean distances.
  Measure measure = lastTransform->measure;
  if (lastTransform->algorithm == TransformAlgorithm::simple) measure = Measure{};
  if (envelopePlot != nullptr) envelopePlot->close();
  EnvelopePlot* plot = new EnvelopePlot(
      EnvelopeOfRow(InputImage, lastTransform->featureValue, measure, row), this);
  envelopePlot = plot;
  // (With the canvas as the context, nothing is called once the window is being destroyed.)
  connect(plot, &QObject::destroyed, canvas(), [this, plot] {
    if (envelopePlot != plot) return;  // a newer plot took its place
    envelopePlot = nullptr;
    canvas()->SetMarks({});
  });
  connect(plot, &EnvelopePlot::columnHighlighted, canvas(), [this, plot](int row, int column) {
    const int last = InputImage.width - 1;
    std::vector<Canvas::Mark> marks = {{{0, row}, {last, row}, QColor(20, 60, 160, 140)}};
    if (column >= 0) {
      const int winner = plot->envelope().winner[column];
      if (winner >= 0)
        marks.push_back({{column, row}, {winner, row}, QColor(200, 0, 0)});
      else
        marks.push_back({{column, row}, {column, row}, QColor(200, 0, 0)});
    }
    canvas()->SetMarks(marks);
  });
  canvas()->SetMarks({{{0, row}, {InputImage.width - 1, row}, QColor(20, 60, 160, 140)}});
  envelopePlot->show();
}

}  // namespace dt
