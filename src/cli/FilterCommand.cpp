// dtmorph filter OP INPUT OUTPUT --filter FILTER: dilation, erosion, opening or closing with
// a filter image, by the simple or the decomposed method. Both give the same picture; the
// decomposed method is the default since its cost does not grow with the filter's width.
#include <memory>

#include "cli/CliSupport.h"
#include "filtermorph/FilterOperations.h"

namespace dt::cli {

namespace {

struct FilterArguments {
  Operation operation = Operation::dilation;
  Input input;
  std::string output;
  std::string filter;
  FilterMethod method = FilterMethod::decomposed;
  TimingOptions timing;  // times the operation alone
};

Command DefineFilter(CLI::App& dtmorph) {
  auto args = std::make_shared<FilterArguments>();
  CLI::App* command = dtmorph.add_subcommand(
      "filter", "dilate, erode, open or close INPUT with a filter image; write OUTPUT");
  AddChoiceOption(command, "OP", args->operation, "dilate, erode, open or close")->required();
  AddInputArgument(command, args->input);
  AddOutputArgument(command, args->output);
  command
      ->add_option("--filter", args->filter,
                   "black-and-white filter picture in any format INPUT may have (--threshold "
                   "holds for it too); its centre is the origin")
      ->required();
  AddChoiceOption(command, "--method", args->method,
                  "simple (every filter pixel for every image pixel) or decomposed (row runs and "
                  "row distances; the default); both give the same result");
  AddTimingOptions(command, args->timing);

  return {command, [args] {
            ImageEngine engine;
            if (!LoadInput(engine, args->input) ||
                !LoadFilter(engine, args->filter, args->input.reading))
              return exitFailure;
            RunOnInput(engine, args->timing, [&](const DrawingTargets& nowhere) {
              RunFilterMorphology(engine, nowhere, args->method, args->operation);
            });
            return WriteOutput(engine, args->output) ? exitSuccess : exitFailure;
          }};
}

const CommandRegistration filterRegistration{50, DefineFilter};

}  // namespace

}  // namespace dt::cli
