// dtdrawbench: algorithm 1 with its progress drawing on, through the real main window (offscreen
// unless QT_QPA_PLATFORM says otherwise). For each distance function it loads the 640 x 480
// sample, runs the transform as the distance transform command does with timing off (paced so
// that the passes can be watched), and prints the time the run took with all its drawing and how
// often the canvas was repainted meanwhile; then the same without pacing.
//
//   build/dtdrawbench [SAMPLES_FOLDER] [RUNS]
#include <QApplication>
#include <QDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "app/MainWindow.h"
#include "distance/TransformOperations.h"
#include "platform/Platform.h"

namespace {

// Messages are answered OK without showing anything, so nothing waits for a person.
class SilentMessages final : public dt::MessageService {
 public:
  dt::MessageResult Show(const std::string&, const std::string&, dt::MessageButtons) override {
    return dt::MessageResult::Ok;
  }
};

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  SilentMessages messages;
  dt::InstallServices({&messages, nullptr});

  const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(DT_SAMPLES_DIR);
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
  if (!QDir::setCurrent(folder)) {
    std::fprintf(stderr, "dtdrawbench: cannot enter %s\n", qPrintable(folder));
    return 1;
  }

  dt::MainWindow window;
  window.PlaceAndShow();
  QApplication::processEvents();

  for (const bool watchable : {true, false}) {
    std::printf("algorithm 1 on sample1-640.xpm with drawing on, %s (fastest of %d runs)\n",
                watchable ? "paced as the command runs it" : "not paced", runs);
    for (const dt::DistanceFunctionInfo& metric : dt::distanceFunctions) {
      double best = 1e300;
      long repaints = 0;
      for (int run = 0; run < runs; ++run) {
        dt::ImageEngine& engine = window.engine;
        if (!engine.LoadInputImage("sample1-640.xpm")) return 1;
        window.ResetCanvas();
        QApplication::processEvents();
        engine.measureTime = 0;
        const long before = window.canvas()->repaintCount();
        const auto start = std::chrono::steady_clock::now();
        {
          dt::CanvasDrawing drawing = window.MakeDrawingTargets();
          if (watchable) drawing.PacePasses(int64_t{dt::InputImage.width} * dt::InputImage.height);
          dt::RunDistanceTransform(engine, drawing, {dt::TransformAlgorithm::envelope,
                                                     dt::Measure{metric.value}});
        }
        const std::chrono::duration<double, std::milli> elapsed =
            std::chrono::steady_clock::now() - start;
        if (elapsed.count() < best) {
          best = elapsed.count();
          repaints = window.canvas()->repaintCount() - before;
        }
      }
      std::printf("  %-11s %8.1f ms  %5ld repaints\n", metric.metricName, best, repaints);
    }
  }
  return 0;
}
