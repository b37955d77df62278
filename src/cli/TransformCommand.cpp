// dtmorph transform INPUT OUTPUT: the distance of every pixel to the nearest feature pixel, by
// one of the three algorithms and one of the four distance functions. OUTPUT.xpm shows the map
// in 16 greys; .npy, .txt and .tif hold the values exactly, 2147483647 where no feature pixel is
// reachable; .png and .pgm hold them in 16 bits, 65535 for that and for anything above 65534.
// --nearest NEAR.npy also writes the feature transform: for every pixel the (row, column) of a
// nearest feature pixel, -1 where there is none.
#include <memory>

#include "cli/CliSupport.h"
#include "cli/ShapeOptions.h"
#include "distance/TransformOperations.h"

namespace dt::cli {

namespace {

struct TransformArguments {
  Input input;
  std::string output;
  std::string nearest;  // the feature transform's file, if asked for
  TransformChoice choice;
  int threads = 1;
  TimingOptions timing;  // times the transform alone
};

Command DefineTransform(CLI::App& dtmorph) {
  auto args = std::make_shared<TransformArguments>();
  CLI::App* command = dtmorph.add_subcommand(
      "transform", "distance transform of INPUT: the distance of every pixel to the nearest "
                   "feature pixel; write the map to OUTPUT");
  AddInputArgument(command, args->input);
  AddOutputArgument(command, args->output);
  AddChoiceOption(command, "--algorithm", args->choice.algorithm,
                  "udt (algorithm 1, the default), exhaustive (algorithm 2) or simple (every "
                  "pixel against every feature pixel, always Euclidean)");
  AddChoiceOption(command, "--metric", args->choice.measure.function,
                  "euclid (the default), cityblock, chessboard or triangle",
                  &DistanceFunctionInfo::metricName);
  AddApexOption(command, args->choice.measure.apex);
  AddNumberOption(command, "--feature", args->choice.featureValue, 0, 1,
                  "pixel value measured to: 1 (white, the default) or 0 (black)");
  AddNumberOption(command, "--threads", args->threads, 0, 64,
                  "threads algorithm 1 may use (default 1; 0: one per processor core)");
  command
      ->add_option("--nearest", args->nearest,
                   "also write the nearest feature pixel of every pixel to a NumPy "
                   "file (.npy): int32, shape (height, width, 2), holding (row, column), -1 "
                   "where no feature pixel is reachable")
      ->check(CLI::Validator(
          [](std::string& name) -> std::string {
            if (FormatOfName(name) == FileFormat::npy) return {};
            return "--nearest must name a .npy file: " + name;
          },
          "NAME.npy", "nearest name"));
  AddTimingOptions(command, args->timing);

  return {command, [args] {
            ImageEngine engine;
            if (!LoadInput(engine, args->input)) return exitFailure;
            engine.threads = args->threads;
            args->choice.wantNearest = !args->nearest.empty();
            RunOnInput(engine, args->timing, [&](const DrawingTargets& nowhere) {
              RunDistanceTransform(engine, nowhere, args->choice);
            });
            if (!WriteOutput(engine, args->output)) return exitFailure;
            if (args->choice.wantNearest && !engine.SaveNearestPixels(args->nearest))
              return exitFailure;
            return exitSuccess;
          }};
}

const CommandRegistration transformRegistration{30, DefineTransform};

}  // namespace

}  // namespace dt::cli
