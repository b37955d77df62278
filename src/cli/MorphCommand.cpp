// dtmorph morph OP INPUT OUTPUT --shape S --size N: dilation, erosion, opening or closing by
// thresholding distance maps, with a circle, diamond, square or triangle of radius N; --threads
// splits the work over threads with the same result.
#include <climits>
#include <memory>

#include "cli/CliSupport.h"
#include "cli/ShapeOptions.h"
#include "morphology/MorphologyOperations.h"

namespace dt::cli {

namespace {

struct MorphArguments {
  Input input;
  std::string output;
  MorphologyChoice choice;
  int threads = 1;
  TimingOptions timing;  // times the operation alone
};

Command DefineMorph(CLI::App& dtmorph) {
  auto args = std::make_shared<MorphArguments>();
  CLI::App* command = dtmorph.add_subcommand(
      "morph", "dilate, erode, open or close INPUT with a circle, diamond, square or triangle "
               "filter, by thresholding distance transforms; write OUTPUT");
  AddChoiceOption(command, "OP", args->choice.operation, "dilate, erode, open or close")
      ->required();
  AddInputArgument(command, args->input);
  AddOutputArgument(command, args->output);
  AddChoiceOption(command, "--shape", args->choice.ball.shape,
                  "circle, diamond, square or triangle", &DistanceFunctionInfo::shapeName)
      ->required();
  AddNumberOption(command, "--size", args->choice.ball.size, 0, INT_MAX,
                  "filter size (the circle's radius; 0 changes nothing)")
      ->required();
  AddApexOption(command, args->choice.ball.apex);
  AddNumberOption(command, "--threads", args->threads, 0, 64,
                  "threads the operation may use (default 1; 0: one per processor core)");
  AddTimingOptions(command, args->timing);

  return {command, [args] {
            ImageEngine engine;
            if (!LoadInput(engine, args->input)) return exitFailure;
            engine.threads = args->threads;
            RunOnInput(engine, args->timing, [&](const DrawingTargets& nowhere) {
              RunDistanceMorphology(engine, nowhere, args->choice);
            });
            return WriteOutput(engine, args->output) ? exitSuccess : exitFailure;
          }};
}

const CommandRegistration morphRegistration{40, DefineMorph};

}  // namespace

}  // namespace dt::cli
