// dtmorph transform INPUT OUTPUT: the distance of every pixel to the nearest feature pixel, by
// one of the three algorithms and one of the four distance functions. OUTPUT.xpm shows the map
// in 16 greys; OUTPUT.txt holds the values, 2147483647 where no feature pixel is reachable.
#include <map>
#include <memory>

#include "cli/CliSupport.h"
#include "cli/ShapeOptions.h"

namespace dt::cli {

namespace {

struct TransformArguments {
  std::string input;
  std::string output;
  std::string algorithm = "udt";
  std::string metric = "euclid";
  Apex apex;
  int feature = 1;
  int threads = 1;
  TimingOptions timing;  // times the transform alone
};

Command DefineTransform(CLI::App& dtmorph) {
  static const std::map<std::string, int32_t> algorithms = {
      {"udt", process_kind::transform1},
      {"exhaustive", process_kind::transform2},
      {"simple", process_kind::simpleTransform}};
  static const std::map<std::string, int32_t> metrics = {
      {"euclid", distance_function::euclid},
      {"cityblock", distance_function::cityBlock},
      {"chessboard", distance_function::chessboard},
      {"triangle", distance_function::triangle}};

  auto args = std::make_shared<TransformArguments>();
  CLI::App* command = dtmorph.add_subcommand(
      "transform", "distance transform of INPUT: the distance of every pixel to the nearest "
                   "feature pixel; write the map to OUTPUT");
  AddInputArgument(command, args->input);
  AddOutputArgument(command, args->output);
  command
      ->add_option("--algorithm", args->algorithm,
                   "udt (algorithm 1, the default), exhaustive (algorithm 2) or simple (every "
                   "pixel against every feature pixel, always Euclidean)")
      ->check(CLI::IsMember({"udt", "exhaustive", "simple"}));
  command
      ->add_option("--metric", args->metric,
                   "euclid (the default), cityblock, chessboard or triangle")
      ->check(CLI::IsMember({"euclid", "cityblock", "chessboard", "triangle"}));
  AddApexOption(command, args->apex);
  command
      ->add_option("--feature", args->feature,
                   "pixel value measured to: 1 (white, the default) or 0 (black)")
      ->check(CLI::IsMember({0, 1}));
  command
      ->add_option("--threads", args->threads,
                   "threads algorithm 1 may use (default 1; 0: one per processor core)")
      ->check(CLI::Range(0, 64));
  AddTimingOptions(command, args->timing);

  return {command, [args] {
            ImageEngine engine;
            if (!LoadInput(engine, args->input)) return exitFailure;
            const int32_t algorithm = algorithms.at(args->algorithm);
            engine.processKind = algorithm;
            ConfigureShape(engine, metrics.at(args->metric), args->apex);
            engine.measureTime = 1;
            engine.threads = args->threads;
            RunTimed(args->timing, nullptr, [&] {
              NullSurface nowhere;
              const DrawingTargets targets{&nowhere, &nowhere};
              if (algorithm == process_kind::transform1)
                engine.DistanceTransform1(targets, args->feature);
              else if (algorithm == process_kind::transform2)
                engine.DistanceTransform2(targets, args->feature);
              else
                engine.SimpleDistanceTransform(targets, args->feature);
            });
            return WriteOutput(engine, args->output) ? exitSuccess : exitFailure;
          }};
}

const CommandRegistration registration{30, DefineTransform};

}  // namespace

}  // namespace dt::cli
