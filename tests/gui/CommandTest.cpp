// The three computing commands through the real main window, answered as a user answers them:
// what they refuse, what they ask, what they leave in the engine, what the canvas shows, and how
// they report the time.
#include <sys/resource.h>

#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTemporaryDir>
#include <fstream>

#include "distance/gui/EnvelopePlot.h"
#include "gui/support/Gui.h"
#include "image/ColourMap.h"
#include "support/References.h"

using namespace dt;
using namespace dt::testing;

namespace {

constexpr int transformCommand = 40036, morphologyCommand = 40041, filterCommand = 40042;
const QString nothingChosen = "処理内容が選択されていません。";
const QString report = "    0.25 秒かかりました。\n（最終結果描画時間は含みません）";
constexpr int colourView = 40100, greyView = 40101;

// A shell whose input is a random picture of its own folder.
struct Fixture {
  explicit Fixture(unsigned seed, int w = 12, int h = 9, double density = 0.2)
      : shell(folder.path()) {
    std::mt19937 rng(seed);
    picture = RandomGrid(rng, w, h, density);
    WriteText(folder.filePath("picture.xpm").toStdString(), XpmOf(picture));
    shell.Load("picture.xpm");
  }
  // Runs a command; its dialog is looked at (inspect), clicked through and closed with closeWith.
  void Run(int command, std::vector<int> clicks, int closeWith = 1,
           std::function<void(QDialog*)> inspect = {}) {
    auto answered = Answer(std::move(clicks), closeWith, std::move(inspect));
    shell.window->TriggerCommand(command);
    QVERIFY(*answered);
  }
  QTemporaryDir folder;
  Shell shell;
  Grid picture;
};

// The pointer moved to a point of a widget.
void Hover(QWidget* widget, QPoint at) {
  QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                   Qt::NoModifier);
  QApplication::sendEvent(widget, &move);
}

// The smallest and largest distance of a map, noFeature left out.
std::pair<int32_t, int32_t> RangeOfMap(const Grid& map) {
  int32_t low = noFeature, high = -1;
  for (int32_t v : map.values)
    if (v != noFeature) low = std::min(low, v), high = std::max(high, v);
  return {low, high};
}

// The first pixel of the picture at the top-left of the canvas, in the bitmap or on screen, that
// is not its distance's colour in the colour view, or an empty text: distance d takes entry
// floor((d - low) * 256 / (high - low)) of viridis (high itself the last one).
QString ShowsColours(const MainWindow& window, const Grid& map) {
  const auto [low, high] = RangeOfMap(map);
  const QImage screen = window.canvas()->grab().toImage().convertToFormat(QImage::Format_RGB32);
  for (int y = 0; y < map.height; ++y)
    for (int x = 0; x < map.width; ++x) {
      const int32_t d = map.at(y, x);
      const uint32_t expected =
          d == noFeature
              ? noFeatureColour
              : ViridisColour(std::min<int64_t>(255, (int64_t{d} - low) * 256 / (high - low)));
      const uint32_t bitmap = window.backingBitmap.pixel(x, y) & 0xFFFFFF;
      if (bitmap != expected || (screen.pixel(x, y) & 0xFFFFFF) != expected)
        return QString("(%1, %2) of distance %3 is %4").arg(x).arg(y).arg(d).arg(bitmap, 6, 16);
    }
  return {};
}

// The first pixel of the legend's area whose colour is rgb (scanning rows), or (-1, -1).
QPoint FindInLegend(const MainWindow& window, uint32_t rgb) {
  const QRect area = window.colourLegendArea;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      if ((window.backingBitmap.pixel(x, y) & 0xFFFFFF) == rgb) return {x, y};
  return {-1, -1};
}

// The legend's tick marks beside a bar that starts at `start` (its lowest entry at the left of a
// horizontal bar, its highest at the top of a vertical one): the places along the bar, counted
// from `start`, of the marks in the line 3 pixels past the bar's far side, within 30 pixels of
// its ends.
std::vector<int> TickPlaces(const MainWindow& window, QPoint start, bool vertical, int length) {
  const QImage& bitmap = window.backingBitmap;
  const uint32_t colour = bitmap.pixel(start) & 0xFFFFFF;
  QPoint side = start;  // the bar's last pixel across it
  const QPoint across = vertical ? QPoint(1, 0) : QPoint(0, 1);
  while ((bitmap.pixel(side + across) & 0xFFFFFF) == colour) side += across;
  std::vector<int> places;
  for (int k = -30; k < length + 30; ++k) {
    const QPoint at = side + 3 * across + (vertical ? QPoint(0, k) : QPoint(k, 0));
    if ((bitmap.pixel(at) & 0xFFFFFF) != 0xFFFFFF) places.push_back(k);
  }
  return places;
}

// Whether the canvas is white everywhere but the picture at the top-left and the legend.
bool WhiteElsewhere(const MainWindow& window, const Grid& map) {
  const QRect picture(0, 0, map.width, map.height);
  for (int y = 0; y < Canvas::pictureHeight; ++y)
    for (int x = 0; x < Canvas::pictureWidth; ++x)
      if (!picture.contains(x, y) && !window.colourLegendArea.contains(x, y) &&
          (window.backingBitmap.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF)
        return false;
  return true;
}

// The three images whole, their kinds, the input's counts, and the engine's two flags.
using Images = std::tuple<Grid, Grid, Grid, std::vector<int32_t>>;
Images ImagesOf(const ImageEngine& e) {
  return {GridOf(InputImage), GridOf(WorkImage), GridOf(DistanceMap),
          {InputImage.kind, WorkImage.kind, DistanceMap.kind, InputImage.whiteCount,
           InputImage.blackCount, e.inputLoaded, e.distanceReady}};
}

}  // namespace

class CommandTest : public QObject {
  Q_OBJECT

 private slots:
  // Each algorithm draws the brute-force map of the chosen function in grey; the slow ones ask
  // first, and a cancelled warning computes nothing. No algorithm is ever preselected.
  void TheTransformDrawsTheExactMap() {
    const std::tuple<int, int, int, const char*> cases[] = {
        {1000, 1, 1019, nullptr},
        {1003, 4, 1020, "かなり処理に時間がかかります。"},
        {1004, 5, 1021, "めちゃくちゃ処理に時間がかかります。"}};
    for (const auto& [algorithm, processKind, function, warning] : cases) {
      Fixture f(5);
      const auto noAlgorithm = [](QDialog* d) {
        QVERIFY(!Button(d, 1000)->isChecked() && !Button(d, 1003)->isChecked() &&
                !Button(d, 1004)->isChecked());
      };
      if (warning) {
        const QImage before = f.shell.window->backingBitmap.copy();
        f.shell.services.messageAnswers = {MessageResult::Cancel};
        f.Run(transformCommand, {function, algorithm});
        QCOMPARE(f.shell.window->backingBitmap, before);
        QVERIFY(f.shell.Texts().value(0).startsWith(warning) && WorkImage.kind == binaryKind);
        QVERIFY(f.shell.services.messages[0].buttons == MessageButtons::OkCancelQuestion &&
                f.shell.services.messages[0].caption == "警告");
        f.shell.services.messages.clear();
      }
      f.Run(transformCommand, {function, algorithm}, 1, noAlgorithm);
      const auto chosen = static_cast<DistanceFunction>(function - 1018);
      QCOMPARE(f.shell.window->engine.distanceFunction, chosen);
      QCOMPARE(f.shell.window->engine.processKind, processKind);
      const Measure m{algorithm == 1004 ? DistanceFunction::euclid : chosen};
      QCOMPARE(GridOf(WorkImage), ReferenceTransform(f.picture, 1, m));
      QCOMPARE(f.shell.ShowsGreys(GridOf(WorkImage)), QString());
      QCOMPARE(GridOf(InputImage), f.picture);
      QCOMPARE(f.shell.Texts().size(), warning ? 1 : 0);
      // A distance map is not binary: the next computation waits for a picture.
      f.shell.services.messages.clear();
      for (int command : {transformCommand, morphologyCommand, filterCommand})
        f.shell.window->TriggerCommand(command);
      QCOMPARE(f.shell.Texts(), QStringList(3, "現在の画像は２値画像ではありません。"));
      QCOMPARE(f.shell.unanswered, 0);
    }
  }

  // With timing on nothing is drawn or repainted until the map is complete; without it the passes
  // are repainted as they are drawn. The time is the map's alone: the nearest feature pixels the
  // window shows are found after the clock stops.
  void TimingShowsOnlyTheResultAndTheSeconds() {
    Fixture f(7, 300, 200, 0.01);
    f.shell.window->TriggerCommand(40006);
    const QImage white = f.shell.window->backingBitmap.copy();
    Canvas* canvas = f.shell.window->canvas();
    long repaints = canvas->repaintCount();
    int reads = 0;  // the drawing's start, the command's start and end: before the final redraw
    f.shell.clock.step = 250;
    f.shell.clock.onRead = [&] {
      // The command's time starts inside the run (the menus off), after the images were kept
      // aside for a stop to put back: that copy is not the computation's.
      if (reads == 1) QVERIFY(!f.shell.window->ActionFor(transformCommand)->isEnabled());
      if (reads == 2) QVERIFY(f.shell.window->engine.nearest.empty());
      if (reads++ >= 3) return;
      QCOMPARE(f.shell.window->backingBitmap, white);
      QCOMPARE(canvas->repaintCount(), repaints);
    };
    f.Run(transformCommand, {1000, 1023});
    f.shell.clock.onRead = nullptr;
    QVERIFY(reads >= 3);
    QCOMPARE(f.shell.Texts(), QStringList{report});
    QCOMPARE(f.shell.services.messages[0].caption, appTitle);
    const Grid truth = ReferenceTransform(f.picture, 1, Measure{});
    QCOMPARE(f.shell.ShowsGreys(truth), QString());
    QVERIFY(!f.shell.window->engine.nearest.empty());
    QCOMPARE(NearestFault(f.picture, 1, Measure{}, truth,
                          f.shell.window->engine.nearest.pairs.get()), std::string());
    f.shell.Load("picture.xpm");
    repaints = canvas->repaintCount();
    f.Run(transformCommand, {1000, 1023});
    QVERIFY(canvas->repaintCount() > repaints + 2 * CanvasDrawing::framesPerPass);
    QVERIFY(f.shell.Texts().isEmpty());
    // Stopped in the timed run, or once the clock has stopped, while the nearest pixels are
    // found: the images are put back all the same, with no time reported and no pairs.
    f.shell.Load("picture.xpm");
    const std::string before = ToString(GridOf(WorkImage)) + ToString(GridOf(DistanceMap));
    for (const int stopAt : {1, 2}) {
      f.shell.services.messages.clear();
      reads = 0;
      f.shell.clock.onRead = [&] {
        if (reads++ == stopAt)
          f.shell.window->statusBar()->findChild<QAbstractButton*>("stop")->click();
      };
      f.Run(transformCommand, stopAt == 1 ? std::vector{1000, 1023} : std::vector{1000});
      f.shell.clock.onRead = nullptr;
      QCOMPARE(f.shell.Texts(), QStringList{"中止しました。画像は実行前の状態に戻しました。"});
      QCOMPARE(ToString(GridOf(WorkImage)) + ToString(GridOf(DistanceMap)), before);
      QVERIFY(f.shell.window->engine.nearest.empty());
    }
  }

  // Zoomed, each bitmap pixel is a sharp square; the status bar gives the pixel under the
  // pointer and its value, the size and the zoom, and the time of the last computation.
  void ZoomKeepsPixelsSharpAndTheStatusBarReadsTheMap() {
    Fixture f(3, 40, 30, 0.05);
    f.Run(transformCommand, {1019, 1000});
    const Grid map = GridOf(WorkImage);
    MainWindow& window = *f.shell.window;
    const auto label = [&](const char* name) {
      return window.statusBar()->findChild<QLabel*>(name)->text();
    };
    QVERIFY(QRegularExpression("^処理時間 [0-9.]+ ms$").match(label("run")).hasMatch());
    const std::pair<std::vector<int>, int> steps[] = {
        {{40120, 40120}, 3}, {{40120, 40120, 40120}, 8}, {{40122}, 1}};
    for (const auto& [commands, times] : steps) {
      for (int command : commands) window.TriggerCommand(command);
      QCOMPARE(label("size"), QString("40 × 30　%1%").arg(times * 100));
      Hover(window.canvas(), window.canvas()->rect().bottomRight());  // away: no line drawn
      const QImage screen = window.canvas()->grab().toImage();
      for (const QPoint pixel : {QPoint(0, 0), QPoint(39, 29), QPoint(17, 11)}) {
        for (int dy = 0; dy < times; ++dy)
          for (int dx = 0; dx < times; ++dx)
            QCOMPARE(screen.pixel(pixel * times + QPoint(dx, dy)),
                     window.backingBitmap.pixel(pixel));
        Hover(window.canvas(), pixel * times + QPoint(times / 2, times / 2));
        // The distance, and a nearest feature pixel: one of the picture's, at that distance.
        const QString prefix = QString("(%1, %2) 距離 %3　最近傍の特徴画素 (")
                                   .arg(pixel.x()).arg(pixel.y()).arg(map.at(pixel.y(), pixel.x()));
        const QString shown = label("position") + " " + label("value");
        QVERIFY2(shown.startsWith(prefix), qPrintable(shown));
        const QStringList place = shown.mid(prefix.size()).chopped(1).split(", ");
        const int fx = place.value(0).toInt(), fy = place.value(1).toInt();
        const int32_t d = map.at(pixel.y(), pixel.x());
        QVERIFY(f.picture.at(fy, fx) == 1);
        QCOMPARE(Distance(Measure{}, pixel.y() - fy, pixel.x() - fx), d);
      }
    }
    window.TriggerCommand(40121);
    window.TriggerCommand(40121);  // 1/4: the whole canvas in a quarter of the room
    QCOMPARE(window.canvas()->size(), QSize(325, 275));
    QCOMPARE(label("size"), QString("40 × 30　25%"));
    // Ctrl with the wheel zooms a step either way; the wheel alone leaves the zoom to scroll.
    const auto wheel = [&](int delta, Qt::KeyboardModifiers keys) {
      QWheelEvent turn(QPointF(20, 20), window.canvas()->mapToGlobal(QPointF(20, 20)), QPoint(),
                       QPoint(0, delta), Qt::NoButton, keys, Qt::NoScrollPhase, false);
      QApplication::sendEvent(window.canvas(), &turn);
      return label("size");
    };
    QCOMPARE(wheel(120, Qt::ControlModifier), QString("40 × 30　50%"));
    QCOMPARE(wheel(120, Qt::NoModifier), QString("40 × 30　50%"));
    QCOMPARE(wheel(-120, Qt::ControlModifier), QString("40 × 30　25%"));
    Fixture dark(4, 5, 4, 0.0);  // no feature pixel: nothing to measure to
    dark.Run(transformCommand, {1019, 1000});
    Hover(dark.shell.window->canvas(), QPoint(2, 2));
    QCOMPARE(dark.shell.window->statusBar()->findChild<QLabel*>("value")->text(),
             QString("特徴画素なし"));
  }

  // Shift+click on a row of a distance map (or the menu item, then a click) opens the plot of
  // that row, whose envelope stores the row's distances; without a map it says why.
  void TheEnvelopePlotOpensOnTheRowClicked() {
    Fixture f(12, 30, 20, 0.1);
    MainWindow& window = *f.shell.window;
    window.TriggerCommand(40125);
    QTest::mouseClick(window.canvas(), Qt::LeftButton, {}, QPoint(3, 3));
    QCOMPARE(f.shell.Texts(), QStringList{"距離変換の結果の距離画像がありません。"});
    f.Run(transformCommand, {1021, 1000});  // chessboard, algorithm 1
    const Grid map = GridOf(WorkImage);
    for (const auto& [row, shift] : {std::pair{0, true}, {7, true}, {14, false}}) {
      if (!shift) window.TriggerCommand(40125);
      QTest::mouseClick(window.canvas(), Qt::LeftButton, shift ? Qt::ShiftModifier : Qt::NoModifier,
                        QPoint(5, row));
      QVERIFY(window.envelopePlot != nullptr);
      const RowEnvelope& envelope = window.envelopePlot->envelope();
      QCOMPARE(envelope.row, row);
      QCOMPARE(envelope.measure.function, DistanceFunction::chessboard);
      for (int x = 0; x < map.width; ++x) QCOMPARE(envelope.stored[x], map.at(row, x));
    }
    QCOMPARE(f.shell.Texts().size(), 1);
    // The plot marks each column's distance with an orange dot, the columns from left to right
    // and the longer distances higher; the pointer over a dot picks that dot's column.
    EnvelopePlot& plot = *window.envelopePlot;
    QVERIFY(QTest::qWaitForWindowExposed(&plot));
    QEvent leave(QEvent::Leave);  // no column highlighted, wherever the pointer came to rest
    QApplication::sendEvent(&plot, &leave);
    const QImage drawn = plot.grab().toImage();
    const auto orange = [&](int x, int y) { return (drawn.pixel(x, y) & 0xFFFFFF) == 0xE67800u; };
    std::vector<QPoint> dots;  // each run of columns with orange in them: its middle, its top
    for (int x = 0, first = -1, top = drawn.height(); x <= drawn.width(); ++x) {
      int y = 0;
      while (x < drawn.width() && y < drawn.height() && !orange(x, y)) ++y;
      if (x < drawn.width() && y < drawn.height()) {
        if (first < 0) first = x;
        top = std::min(top, y);
      } else if (first >= 0) {
        dots.push_back(QPoint((first + x - 1) / 2, top + 2));
        first = -1, top = drawn.height();
      }
    }
    QCOMPARE(static_cast<int>(dots.size()), map.width);
    // Meanwhile a red line on the canvas joins the column to the column that won it (a dot
    // where it won itself), in the plot's row: its ends where theirs are, a dot's width apart.
    constexpr int zoom = 8;
    window.canvas()->SetZoom({zoom, 1});
    QCOMPARE(plot.envelope().winner[1], 0);  // in this row column 0 wins another column too
    const auto redEnds = [&] {
      const QImage row =
          window.canvas()->grab(QRect(0, 14 * zoom, map.width * zoom, zoom)).toImage();
      std::pair<int, int> ends{-1, -1};
      for (int x = 0; x < row.width(); ++x)
        for (int y = 0; y < row.height(); ++y)
          if (const QRgb c = row.pixel(x, y); qRed(c) > 150 && qGreen(c) < 80 && qBlue(c) < 80) {
            if (ends.first < 0) ends.first = x;
            ends.second = x;
          }
      return ends;
    };
    for (int x = 0; x < map.width; ++x) {
      if (x > 0) {
        const int32_t was = map.at(14, x - 1), is = map.at(14, x);
        QVERIFY(is > was ? dots[x].y() < dots[x - 1].y()
                         : is < was ? dots[x].y() > dots[x - 1].y()
                                    : std::abs(dots[x].y() - dots[x - 1].y()) <= 1);
      }
      Hover(&plot, dots[x]);
      QCOMPARE(plot.highlighted(), x);
      const int winner = plot.envelope().winner[x], to = winner >= 0 ? winner : x;
      const auto [left, right] = redEnds();
      // The dot fills the winner's column; the line starts at the middle of the column's.
      const int dotLeft = to * zoom, dotRight = dotLeft + zoom - 1, middle = x * zoom + zoom / 2;
      const auto near = [](int a, int b) { return std::abs(a - b) <= 2; };
      QVERIFY2(to <= x ? near(left, dotLeft) && near(right, to == x ? dotRight : middle)
                       : near(left, middle) && near(right, dotRight),
               qPrintable(QString("column %1, winner %2: red from %3 to %4")
                              .arg(x).arg(winner).arg(left).arg(right)));
    }
    // The wheel zooms along the row about the pointer: the column under it stays there, and the
    // one 150 pixels (five columns or so) to its right comes nearer (in) or goes further (out).
    const QPointF at = dots[10];
    const auto besideAfter = [&](int delta) {
      QWheelEvent turn(at, plot.mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                       Qt::NoModifier, Qt::NoScrollPhase, false);
      QApplication::sendEvent(&plot, &turn);
      Hover(&plot, dots[10]);
      const int under = plot.highlighted();
      Hover(&plot, dots[10] + QPoint(150, 0));
      return under == 10 ? plot.highlighted() : -1;
    };
    const int beside = besideAfter(0);
    QVERIFY(beside >= 14 && besideAfter(120) < beside && besideAfter(-120) == beside);
  }

  // ボロノイ領域 colours each pixel by the region (8-connected feature pixels) of its nearest
  // feature pixel: one colour per region, the feature pixels darker; no map, no view. A region
  // at the right edge does not run on into the next row's first column.
  void TheVoronoiViewColoursByNearestRegion() {
    QTemporaryDir folder;
    WriteText(folder.filePath("two.xpm").toStdString(),
              XpmOf(GridFromRows({"1100000001", "1000000001", "0000000000", "1000000000"})));
    Shell shell(folder.path());
    shell.Load("two.xpm");
    shell.window->TriggerCommand(40126);
    QCOMPARE(shell.Texts(), QStringList{"現在の画像は距離画像ではありません。"});
    auto answered = Answer({1019, 1000});
    shell.window->TriggerCommand(transformCommand);
    QVERIFY(*answered);
    shell.window->TriggerCommand(40126);
    const auto at = [&](int x, int y) { return shell.window->backingBitmap.pixel(x, y); };
    QVERIFY(at(2, 0) == at(4, 2) && at(2, 0) == at(1, 1) && at(6, 1) == at(8, 2));
    QVERIFY(at(4, 2) != at(6, 1) && at(0, 0) != at(1, 1) && at(0, 0) == at(0, 1));
    QVERIFY(at(9, 0) != at(8, 0) && at(0, 0) != at(9, 0));
    QVERIFY(at(0, 3) != at(9, 1) && at(0, 3) != at(0, 1));
    shell.Load("two.xpm");  // the map goes with a new picture, and the view with it
    shell.window->TriggerCommand(40126);
    QCOMPARE(shell.Texts(), QStringList{"現在の画像は距離画像ではありません。"});
  }

  // Esc during a slow run stops it within a row: the images are as they were, byte for byte, and
  // the clicks and keys given meanwhile (a right click, Ctrl+O) do nothing, then or later. The
  // images come back from the command's undo step, or from a copy of their own where the undo
  // history cannot keep them.
  void EscStopsARunAndNothingIsReplayed() {
    Fixture f(9, 640, 480, 0.4);
    MainWindow& window = *f.shell.window;
    const std::string before = ToString(GridOf(InputImage)) + ToString(GridOf(WorkImage)) +
                               ToString(GridOf(DistanceMap));
    for (const std::size_t bound : {window.undoHistory.maxBytes, std::size_t{0}}) {
      window.undoHistory.maxBytes = bound;
      f.shell.services.messages.clear();
      bool sawRun = false;
      const std::size_t asked = f.shell.services.fileRequests.size();
      QTimer::singleShot(300, [&] {
        auto* stop = window.statusBar()->findChild<QAbstractButton*>("stop");
        sawRun = !window.menuBar()->isEnabled() && stop->isEnabled() &&
                 window.statusBar()->findChild<QLabel*>("run")->text().startsWith("パス 1");
        QTest::mouseClick(window.canvas(), Qt::RightButton, {}, QPoint(5, 5));
        QTest::keyClick(&window, Qt::Key_O, Qt::ControlModifier);
        QTest::keyClick(&window, Qt::Key_Escape);
      });
      f.Run(transformCommand, {1019, 1004});
      QVERIFY(sawRun);
      QCOMPARE(ToString(GridOf(InputImage)) + ToString(GridOf(WorkImage)) +
                   ToString(GridOf(DistanceMap)),
               before);
      QCOMPARE(f.shell.Texts().value(1),
               QString("中止しました。画像は実行前の状態に戻しました。"));
      QTest::qWait(100);
      QCOMPARE(f.shell.Shows(f.picture), QString());
      QVERIFY(f.shell.services.fileRequests.size() == asked && window.menuBar()->isEnabled());
    }
  }

  // The transform's dialog opens with the stored function and timing; ｷｬﾝｾﾙ keeps them, 実行
  // without an algorithm keeps the new ones and computes nothing. The triangle chosen in the
  // editor is shown (but cannot be chosen) by the transform and preselected by the morphology
  // dialog, and both use its apex.
  void TheStoredChoicesAndTheEditorsTriangleAreUsed() {
    Fixture f(9, 15, 12, 0.1);
    f.shell.window->engine.distanceFunction = DistanceFunction::chessboard;
    f.Run(transformCommand, {1023}, 2, [](QDialog* dialog) {
      QVERIFY(Button(dialog, 1021)->isChecked() && !Button(dialog, 1023)->isChecked());
    });
    QCOMPARE(f.shell.window->engine.measureTime, 0);
    f.Run(transformCommand, {1020, 1023});
    QCOMPARE(f.shell.Texts(), QStringList{nothingChosen});
    QCOMPARE(f.shell.window->engine.processKind, 0);
    QCOMPARE(f.shell.window->engine.distanceFunction, DistanceFunction::cityBlock);
    QCOMPARE(f.shell.window->engine.measureTime, 1);
    QCOMPARE(WorkImage.kind, binaryKind);
    f.shell.window->TriggerCommand(40013);
    f.shell.window->TriggerCommand(40013);
    triangleApex = {-37, 11};
    const Measure triangle{DistanceFunction::triangle, {-37, 11}};
    const auto triangleChecked = [](QDialog* d) {  // and timing, as stored
      QVERIFY(Button(d, 1022)->isChecked() && Button(d, 1023)->isChecked());
    };
    f.Run(transformCommand, {1000}, 1, triangleChecked);
    QCOMPARE(GridOf(WorkImage), ReferenceTransform(f.picture, 1, triangle));
    f.shell.Load("picture.xpm");
    f.Run(morphologyCommand, {1036}, 1, triangleChecked);
    QCOMPARE(GridOf(InputImage),
             ReferenceMorphology(Operation::dilation, f.picture, BallOffsets(triangle, 0)));
  }

  // Each operation gives the definition by its ball, drawn; results build on each other.
  // ｷｬﾝｾﾙ keeps the settings, 実行 without an operation says so.
  void MorphologyDrawsItsResultAndBuildsOnIt() {
    Fixture f(10, 14, 11, 0.4);
    Grid expected = f.picture;
    const auto sizeOne = [](QDialog* d) { d->findChild<QLineEdit*>("1010")->setText("1"); };
    for (const auto& [button, operation] :
         {std::pair{1037, Operation::erosion}, {1039, Operation::closing},
          {1038, Operation::opening}, {1036, Operation::dilation}}) {
      f.Run(morphologyCommand, {button, 1020}, 1, sizeOne);
      const Offsets diamond = BallOffsets(Measure{DistanceFunction::cityBlock}, 1);
      expected = ReferenceMorphology(operation, expected, diamond);
      QCOMPARE(GridOf(InputImage), expected);
      QCOMPARE(f.shell.Shows(expected), QString());
      QCOMPARE(f.shell.window->engine.processKind, InfoOf(operation).processKind);
    }
    QVERIFY(f.shell.Texts().isEmpty());
    f.Run(morphologyCommand, {1019, 1023}, 2);
    f.Run(morphologyCommand, {});
    QCOMPARE(f.shell.Texts(), QStringList{nothingChosen});
    QCOMPARE(f.shell.window->engine.processKind, 0);
    QCOMPARE(f.shell.window->engine.distanceFunction, DistanceFunction::cityBlock);
    QCOMPARE(f.shell.window->engine.filterSize + f.shell.window->engine.measureTime, 1);
  }

  // Erosion, opening and closing report the operation's seconds, then the command's; both cover
  // the computation alone.
  void TimedMorphologyReportsTheOperationThenTheCommand() {
    Fixture f(11, 7, 7, 0.0);
    f.shell.clock.step = 250;
    f.Run(morphologyCommand, {1037, 1021, 1023});
    QCOMPARE(f.shell.Texts(), (QStringList{"    0.25 秒かかりました", report}));
    for (const auto& m : f.shell.services.messages) QCOMPARE(m.caption, appTitle);
    f.shell.services.messages.clear();
    f.Run(morphologyCommand, {1036});
    QCOMPARE(f.shell.Texts(), QStringList{report});
  }

  // Out of memory in a command is its message; the picture stays as it was and the program goes
  // on. (The row passes of algorithm 1 need working memory in proportion to the width.)
  void RunningOutOfMemoryKeepsThePicture() {
#if defined(__SANITIZE_ADDRESS__)
    QSKIP("AddressSanitizer ends a process that runs out of memory");
#endif
    Fixture f(14, 3000000, 1, 0.0001);
    long kb = 0;  // the address space in use
    std::ifstream status("/proc/self/status");
    for (std::string key; status >> key;)
      if (key == "VmSize:" && status >> kb) break;
    rlimit limit{}, before{};
    ::getrlimit(RLIMIT_AS, &before);
    limit = before;
    limit.rlim_cur = (kb + 150 * 1024) * 1024;
    QVERIFY(::setrlimit(RLIMIT_AS, &limit) == 0);
    f.Run(transformCommand, {1000, 1023});
    ::setrlimit(RLIMIT_AS, &before);
    QCOMPARE(f.shell.Texts(), QStringList{"メモリ確保に失敗しました。"});
    QVERIFY(GridOf(InputImage) == f.picture && GridOf(WorkImage) == f.picture);
    QCOMPARE(f.shell.Shows(f.picture), QString());
    f.Run(transformCommand, {1000});
    QCOMPARE(WorkImage.kind, distanceKind);
  }

  // A filter is loaded (shown with its size); a bad file keeps the one before and its name.
  // The filter command needs both pictures, asks before the slow drawing of the decomposed
  // method (not when timing), and draws the definition's result.
  void TheFilterCommandUsesTheLoadedFilter() {
    Fixture f(12, 10, 8, 0.3);
    MainWindow& w = *f.shell.window;
    w.TriggerCommand(filterCommand);
    w.TriggerCommand(40028);
    QCOMPARE(f.shell.Texts(), (QStringList{"フィルタ画像を先に選択してください。",
                                           "フィルタ画像が取り込まれていません。"}));
    const Grid filter = GridFromRows({"010", "111"});
    WriteText(f.folder.filePath("f.xpm").toStdString(), XpmOf(filter));
    WriteText(f.folder.filePath("bad.xpm").toStdString(), "\"3 2 2 1\"");
    f.shell.services.messages.clear();
    f.shell.services.fileAnswers = {std::string("f.xpm"), std::string("bad.xpm")};
    w.TriggerCommand(40006);
    w.TriggerCommand(40038);
    w.TriggerCommand(40038);
    QCOMPARE(f.shell.services.fileRequests.back().initialName, std::string("filterQX15.xpm"));
    QCOMPARE(f.shell.Texts().size(), 2);
    QCOMPARE(f.shell.Texts().value(0), QString("画像サイズは 3 × 2 です。"));
    QCOMPARE(filterFileName, std::string("f.xpm"));
    QCOMPARE(f.shell.Shows(filter), QString());
    f.shell.services.messages.clear();
    f.shell.services.messageAnswers = {MessageResult::Cancel};
    f.Run(filterCommand, {1031, 1029}, 1, [](QDialog* dialog) {
      QCOMPARE(dialog->findChild<QLineEdit*>("1035")->text(), QString("f.xpm"));
    });
    QVERIFY(f.shell.Texts().value(0).startsWith("フィルタの縦画素回だけ描画するため、"));
    QCOMPARE(GridOf(InputImage), f.picture);  // cancelled
    QCOMPARE(w.engine.filterAlgorithm, FilterMethod::decomposed);
    f.shell.services.messages.clear();
    f.shell.clock.step = 250;
    f.Run(filterCommand, {1032, 1023});  // opening, timed: no question
    Grid expected = ReferenceMorphology(Operation::opening, f.picture, FilterOffsets(filter));
    QCOMPARE(f.shell.Texts(), QStringList{report});
    f.shell.services.messages.clear();
    f.Run(filterCommand, {1030, 1028, 1023});  // dilation by the simple method, drawn
    expected = ReferenceMorphology(Operation::dilation, expected, FilterOffsets(filter));
    QCOMPARE(GridOf(InputImage), expected);
    QCOMPARE(f.shell.Shows(expected), QString());
    QVERIFY(f.shell.Texts().isEmpty());
  }

  // The colour view (menu 表示) colours the map over its whole range, the largest distance in the
  // last entry; the legend beside it runs from the last entry at the top to the first, with the
  // largest distance written at its top end and "no feature pixel" in its own swatch. The map
  // itself stays as it was.
  void TheColourViewSpansTheWholeRange() {
    Fixture f(21, 120, 80, 0.001);
    MainWindow& w = *f.shell.window;
    f.Run(transformCommand, {1019, 1000});
    const Grid map = GridOf(WorkImage);
    const auto [low, high] = RangeOfMap(map);
    QVERIFY2(low == 0 && high > 20, qPrintable(QString("%1..%2").arg(low).arg(high)));
    w.ActionFor(colourView)->trigger();
    QVERIFY(f.shell.Texts().isEmpty());
    QCOMPARE(GridOf(WorkImage), map);
    QCOMPARE(ShowsColours(w, map), QString());
    const auto at = [&](int32_t d) {
      const auto i = std::find(map.values.begin(), map.values.end(), d) - map.values.begin();
      return w.backingBitmap.pixel(i % map.width, i / map.width) & 0xFFFFFF;
    };
    QCOMPARE(at(low), ViridisColour(0));
    QCOMPARE(at(high), ViridisColour(255));
    const QRect legend = w.colourLegendArea;
    QVERIFY(legend.left() >= map.width && QRect(0, 0, 1300, 1100).contains(legend));
    QVERIFY(WhiteElsewhere(w, map));
    const QPoint top = FindInLegend(w, ViridisColour(255));
    QVERIFY(top.x() >= 0);
    for (int k = 0; k < 256; ++k)
      QCOMPARE(w.backingBitmap.pixel(top.x(), top.y() + k) & 0xFFFFFF, ViridisColour(255 - k));
    // Tick marks beside the bar, at its ends and between them, none beyond.
    const std::vector<int> ticks = TickPlaces(w, top, true, 256);
    QVERIFY(ticks.size() >= 3 && ticks.front() == 0 && ticks.back() == 255);
    QVERIFY(FindInLegend(w, noFeatureColour).x() >= 0);
    // Another map with another maximum: the label at the bar's top end changes, the one at its
    // bottom end (0) does not.
    const QRect topLabel(top.x() + 24, top.y() - 8, legend.right() - top.x() - 24, 17);
    const QRect bottomLabel = topLabel.translated(0, 255);
    const QImage topBefore = w.backingBitmap.copy(topLabel);
    const QImage bottomBefore = w.backingBitmap.copy(bottomLabel);
    Fixture g(22, 120, 80, 0.01);
    g.Run(transformCommand, {1019, 1000});
    const Grid other = GridOf(WorkImage);
    QVERIFY(RangeOfMap(other).first == 0 && RangeOfMap(other).second != high);
    g.shell.window->TriggerCommand(colourView);
    QCOMPARE(ShowsColours(*g.shell.window, other), QString());
    QCOMPARE(FindInLegend(*g.shell.window, ViridisColour(255)), top);
    QVERIFY(g.shell.window->backingBitmap.copy(topLabel) != topBefore);
    QCOMPARE(g.shell.window->backingBitmap.copy(bottomLabel), bottomBefore);
  }

  // Where no feature pixel is reachable the colour view shows a grey that viridis never gives:
  // everywhere for a picture without a white pixel; beside distances from 1000 up in a map of
  // both, too wide for a legend beside it, which goes below it then, from left to right.
  void NoFeaturePixelHasItsOwnColour() {
    for (int i = 0; i < 256; ++i) QVERIFY(ViridisColour(i) != noFeatureColour);
    Fixture f(23, 40, 30, 0.0);
    MainWindow& w = *f.shell.window;
    f.Run(transformCommand, {1019, 1000});
    QCOMPARE(GridOf(WorkImage), Grid(40, 30, noFeature));
    w.TriggerCommand(colourView);
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 40; ++x)
        QCOMPARE(w.backingBitmap.pixel(x, y) & 0xFFFFFF, noFeatureColour);
    QVERIFY(FindInLegend(w, noFeatureColour).x() >= 0);
    QCOMPARE(FindInLegend(w, ViridisColour(0)).x(), -1);  // no bar without distances

    Grid map(1250, 24);
    for (int y = 0; y < map.height; ++y)
      for (int x = 0; x < map.width; ++x) map.at(y, x) = x % 97 == 5 ? noFeature : 1000 + 3 * x + y;
    w.TriggerCommand(40006);
    SetInput(w.engine, Grid(map.width, map.height, 1));
    for (int y = 0; y < map.height; ++y) std::copy_n(&map.at(y, 0), map.width, WorkImage.rows[y]);
    WorkImage.kind = distanceKind;
    w.TriggerCommand(colourView);
    QCOMPARE(ShowsColours(w, map), QString());
    QCOMPARE(w.backingBitmap.pixel(0, 0) & 0xFFFFFF, ViridisColour(0));
    QCOMPARE(w.backingBitmap.pixel(5, 0) & 0xFFFFFF, noFeatureColour);
    QVERIFY(w.colourLegendArea.top() > map.height && WhiteElsewhere(w, map));
    const QPoint left = FindInLegend(w, ViridisColour(0));
    QVERIFY(left.x() >= 0);
    for (int k = 0; k < 512; ++k)
      QCOMPARE(w.backingBitmap.pixel(left.x() + k, left.y()) & 0xFFFFFF, ViridisColour(k / 2));
    const std::vector<int> ticks = TickPlaces(w, left, false, 512);
    QVERIFY(ticks.size() >= 3 && ticks.front() >= 0 && ticks.back() <= 511);
  }

  // Without a distance map both views say so and draw nothing. The 16 greys come back from the
  // menu, and every command that draws takes the legend away: the canvas shows the greys (or the
  // picture) and white beyond them.
  void TheGreysComeBackAndTheLegendGoes() {
    Fixture f(24, 50, 40, 0.01);
    MainWindow& w = *f.shell.window;
    const QImage before = w.backingBitmap.copy();
    w.TriggerCommand(colourView);
    w.TriggerCommand(greyView);
    QCOMPARE(f.shell.Texts(), QStringList(2, "現在の画像は距離画像ではありません。"));
    QCOMPARE(f.shell.services.messages[1].caption, std::string("エラー"));
    QCOMPARE(w.backingBitmap, before);
    f.shell.services.messages.clear();

    f.Run(transformCommand, {1020, 1000});
    const Grid map = GridOf(WorkImage);
    w.TriggerCommand(colourView);
    QVERIFY(!w.colourLegendArea.isEmpty());
    w.TriggerCommand(greyView);
    QCOMPARE(f.shell.ShowsGreys(map), QString());
    QVERIFY(w.colourLegendArea.isEmpty());
    w.TriggerCommand(colourView);
    w.TriggerCommand(40005);  // the input again, beside nothing
    QCOMPARE(f.shell.Shows(f.picture), QString());
    w.TriggerCommand(colourView);
    f.shell.Load("picture.xpm");
    QCOMPARE(f.shell.Shows(f.picture), QString());
    f.Run(transformCommand, {1021, 1000});
    QCOMPARE(f.shell.ShowsGreys(GridOf(WorkImage)), QString());
  }

  // Each command that changes the images is a step, a filter load is not: 元に戻す (Ctrl+Z) puts
  // the images back byte for byte and draws them, やり直し (Ctrl+Y) brings each result again, each
  // item is off with nothing to undo or redo, and a new command drops the redo steps.
  void UndoAndRedoEveryCommand() {
    Fixture f(31, 20, 15, 0.3);
    MainWindow& w = *f.shell.window;
    const auto sizeTwo = [](QDialog* d) { d->findChild<QLineEdit*>("1010")->setText("2"); };
    WriteText(f.folder.filePath("f.xpm").toStdString(), XpmOf(GridFromRows({"11", "01"})));
    std::vector<Images> states{{{}, {}, {}, std::vector<int32_t>(7)}, ImagesOf(w.engine)};
    const auto keep = [&] { states.push_back(ImagesOf(w.engine)); };
    f.Run(transformCommand, {1019, 1000}), keep();
    w.TriggerCommand(40015), keep();  // the 160 x 120 sample
    f.Run(morphologyCommand, {1036, 1020}, 1, sizeTwo), keep();
    f.shell.services.fileAnswers = {std::string("f.xpm")};
    w.TriggerCommand(40038);  // no step
    f.Run(filterCommand, {1030, 1028}), keep();
    w.OpenGivenFile(DT_SAMPLES_DIR "/square.xpm"), keep();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w) && !w.ActionFor(40141)->isEnabled());
    int at = static_cast<int>(states.size()) - 1;
    for (const auto& [key, item, step] :
         {std::tuple{Qt::Key_Z, 40140, -1}, std::tuple{Qt::Key_Y, 40141, 1}}) {
      for (std::size_t n = 1; n < states.size(); ++n) {
        QVERIFY(w.ActionFor(item)->isEnabled());
        QTest::keyClick(&w, key, Qt::ControlModifier);
        QVERIFY(ImagesOf(w.engine) == states[at += step]);
        const Grid work = GridOf(WorkImage);
        QCOMPARE(WorkImage.kind == distanceKind ? f.shell.ShowsGreys(work) : f.shell.Shows(work),
                 QString());
      }
      QVERIFY(!w.ActionFor(item)->isEnabled());
    }
    w.TriggerCommand(40140);
    // A load that fails changes nothing: the images and the step to redo stay.
    const Images undone = ImagesOf(w.engine);
    WriteText(f.folder.filePath("bad.xpm").toStdString(), "not a picture");
    w.OpenGivenFile(f.folder.filePath("bad.xpm"));
    QVERIFY(ImagesOf(w.engine) == undone && w.ActionFor(40141)->isEnabled());
    f.Run(transformCommand, {1021, 1000});
    QVERIFY(!w.ActionFor(40141)->isEnabled());
    w.TriggerCommand(40140);
    QVERIFY(ImagesOf(w.engine) == states[at - 1]);
  }

  // The steps hold at most the memory bound: the oldest go and the status bar says so, as it
  // says when the images alone are larger than the bound and make no step.
  void TheOldestStepsGoBeyondTheMemoryBound() {
    Fixture f(34, 20, 15, 0.05);  // a step: three images of 300 pixels, 3600 bytes
    MainWindow& w = *f.shell.window;
    const auto dilate = [&](std::size_t bound) {
      w.undoHistory.maxBytes = bound;
      f.Run(morphologyCommand, {1036, 1020}, 1,
            [](QDialog* d) { d->findChild<QLineEdit*>("1010")->setText("1"); });
      return ImagesOf(w.engine);
    };
    const Images first = dilate(7200), second = dilate(7200), third = dilate(7200);
    QCOMPARE(w.statusBar()->currentMessage(),
             QString("元に戻す履歴がメモリの上限を超えたため、古い操作 2 件を削除しました。"));
    QVERIFY(dilate(7200) != third);  // its step is copied into the blocks of a dropped one
    QCOMPARE(w.statusBar()->currentMessage(),
             QString("元に戻す履歴がメモリの上限を超えたため、古い操作 1 件を削除しました。"));
    w.TriggerCommand(40140);
    QVERIFY(ImagesOf(w.engine) == third);
    w.TriggerCommand(40140);
    QVERIFY(ImagesOf(w.engine) == second && second != first);
    QVERIFY(!w.ActionFor(40140)->isEnabled());
    QVERIFY(dilate(3000) == third && !w.ActionFor(40141)->isEnabled());
    QCOMPARE(w.statusBar()->currentMessage(),
             QString("画像が大きすぎるため、この操作は元に戻せません。"));
    // Without a step, a command is told by a fingerprint of the images, which every single pixel
    // changes (each of the 300 of the distance map, changed and put back in turn).
    for (std::size_t at = 0; at < 300; ++at) {
      w.undoHistory.Begin(w.engine);
      DistanceMap.rows.data()[at] ^= 1 << (at % 31);
      QCOMPARE(w.undoHistory.End(w.engine).kept, UndoHistory::Kept::tooLarge);
      w.undoHistory.Begin(w.engine);
      DistanceMap.rows.data()[at] ^= 1 << (at % 31);
      QCOMPARE(w.undoHistory.End(w.engine).kept, UndoHistory::Kept::tooLarge);
      w.undoHistory.Begin(w.engine);
      QCOMPARE(w.undoHistory.End(w.engine).kept, UndoHistory::Kept::unchanged);
    }
    // A load's step is the images it replaces: beyond the bound there is none, and opening the
    // same file again changes nothing, so the status bar says nothing.
    w.OpenGivenFile(DT_SAMPLES_DIR "/square.xpm");
    QCOMPARE(w.statusBar()->currentMessage(),
             QString("画像が大きすぎるため、この操作は元に戻せません。"));
    const Images square = ImagesOf(w.engine);
    w.statusBar()->clearMessage();
    w.OpenGivenFile(DT_SAMPLES_DIR "/square.xpm");
    QCOMPARE(w.statusBar()->currentMessage(), QString());
    w.undoHistory.maxBytes = std::size_t{1} << 20;
    w.OpenGivenFile(DT_SAMPLES_DIR "/square.xpm");  // within the bound, still no step
    QVERIFY(!w.ActionFor(40140)->isEnabled());
    const Grid& squareInput = std::get<0>(square);
    w.undoHistory.maxBytes = 3 * sizeof(int32_t) * std::size_t(squareInput.width) *
                             std::size_t(squareInput.height);  // the square's images, exactly
    w.TriggerCommand(40015);  // the 160 x 120 sample: its step holds the square's images
    w.TriggerCommand(40140);
    QVERIFY(ImagesOf(w.engine) == square && !w.ActionFor(40140)->isEnabled());
    // A transform leaves the input as it is, and its step holds the other two images alone: it
    // fits a bound too small for three.
    Fixture g(35, 20, 15, 0.05);
    MainWindow& v = *g.shell.window;
    const Images picture = ImagesOf(v.engine);
    v.undoHistory.maxBytes = 2400;
    g.Run(transformCommand, {1019, 1000});
    QCOMPARE(v.statusBar()->currentMessage(), QString());
    v.TriggerCommand(40140);
    QVERIFY(ImagesOf(v.engine) == picture);
    // A load with no step of its own replaces the input such a step was taken with: the step goes
    // (undone, it would show its map beside the new picture, or read past a smaller one's rows),
    // and undoing goes back to before the first picture.
    v.TriggerCommand(40141);
    std::mt19937 rng(36);
    WriteText(g.folder.filePath("larger.xpm").toStdString(), XpmOf(RandomGrid(rng, 25, 20, 0.1)));
    v.OpenGivenFile(g.folder.filePath("larger.xpm"));
    QCOMPARE(v.statusBar()->currentMessage(),
             QString("画像が大きすぎるため、この操作は元に戻せません。"));
    v.TriggerCommand(40140);
    QVERIFY(ImagesOf(v.engine) == Images({}, {}, {}, std::vector<int32_t>(7)));
    QVERIFY(!v.ActionFor(40140)->isEnabled());
  }

  // Passes one at a time (kept in the settings): a run waits after its first pass, drawn whole,
  // until Space or 続行; Esc while it waits stops the run and puts the images back.
  void PassByPassWaitsAfterEachPass() {
    Fixture f(33, 60, 40, 0.05);
    MainWindow& w = *f.shell.window;
    w.TriggerCommand(40153);
    QVERIFY(MainWindow().ActionFor(40153)->isChecked() && !w.ActionFor(40151)->isChecked());
    auto* next = w.statusBar()->findChild<QAbstractButton*>("continue");
    const Images loaded = ImagesOf(w.engine);
    const auto run = [&](int function, const std::function<void()>& go) {
      f.shell.Load("picture.xpm");
      int waits = 0;
      QTimer timer;
      QObject::connect(&timer, &QTimer::timeout, [&] {
        if (!next->isEnabled()) return;
        if (++waits > 1) return next->click();  // the wait went on: the run must end
        QCOMPARE(w.statusBar()->findChild<QLabel*>("run")->text(),
                 QString("パス 1 終了　Space または 続行 で次のパスへ"));
        QCOMPARE(f.shell.ShowsGreys(GridOf(WorkImage)), QString());
        go();
      });
      timer.start(20);
      f.Run(transformCommand, {function, 1000});
      return waits;
    };
    QCOMPARE(run(1019, [&] { QTest::keyClick(&w, Qt::Key_Space); }), 1);
    QCOMPARE(GridOf(WorkImage), ReferenceTransform(f.picture, 1, Measure{}));
    QCOMPARE(run(1020, [&] { QTest::mouseClick(next, Qt::LeftButton); }), 1);
    QCOMPARE(run(1021, [&] { QTest::keyClick(&w, Qt::Key_Escape); }), 1);
    QVERIFY(ImagesOf(w.engine) == loaded);
    QCOMPARE(f.shell.Texts(), QStringList{"中止しました。画像は実行前の状態に戻しました。"});
  }
};

QTEST_MAIN(CommandTest)
#include "CommandTest.moc"
