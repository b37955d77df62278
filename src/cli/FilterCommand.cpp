// dtmorph filter OP INPUT OUTPUT --filter FILTER.xpm: dilation, erosion, opening or closing with
// a filter image, by the simple or the decomposed method. Both give the same picture; the
// decomposed method is the default since its cost does not grow with the filter's width.
#include <map>
#include <memory>

#include "cli/CliSupport.h"
#include "filtermorph/FilterOperations.h"

namespace dt::cli {

namespace {

struct FilterArguments {
  std::string operation;
  std::string input;
  std::string output;
  std::string filter;
  std::string method = "decomposed";
  TimingOptions timing;  // times the operation alone
};

Command DefineFilter(CLI::App& dtmorph) {
  static const std::map<std::string, int32_t> operations = {{"dilate", filter_operation::dilation},
                                                            {"erode", filter_operation::erosion},
                                                            {"open", filter_operation::opening},
                                                            {"close", filter_operation::closing}};
  static const std::map<std::string, int32_t> methods = {
      {"simple", filter_algorithm::simple}, {"decomposed", filter_algorithm::decomposed}};

  auto args = std::make_shared<FilterArguments>();
  CLI::App* command = dtmorph.add_subcommand(
      "filter", "dilate, erode, open or close INPUT with a filter image; write OUTPUT");
  command->add_option("OP", args->operation, "dilate, erode, open or close")
      ->required()
      ->check(CLI::IsMember({"dilate", "erode", "open", "close"}));
  AddInputArgument(command, args->input);
  AddOutputArgument(command, args->output);
  command
      ->add_option("--filter", args->filter,
                   "two-colour XPM filter image; its centre is the origin")
      ->required();
  command
      ->add_option("--method", args->method,
                   "simple (every filter pixel for every image pixel) or decomposed (row runs and "
                   "row distances; the default); both give the same result")
      ->check(CLI::IsMember({"simple", "decomposed"}));
  AddTimingOptions(command, args->timing);

  return {
      command, [args] {
        ImageEngine engine;
        if (!LoadInput(engine, args->input) || !LoadFilter(engine, args->filter))
          return exitFailure;
        engine.measureTime = 1;
        const int32_t algorithm = methods.at(args->method);
        const int32_t operation = operations.at(args->operation);
        engine.filterAlgorithm = algorithm;
        engine.filterOperation = operation;
        const InputSnapshot original;
        RunTimed(
            args->timing, [&] { original.Restore(engine); },
            [&] {
              NullSurface nowhere;
              filtermorph::RunFilterMorphology(engine, {&nowhere, &nowhere}, algorithm, operation);
            });
        return WriteOutput(engine, args->output) ? exitSuccess : exitFailure;
      }};
}

const CommandRegistration registration{50, DefineFilter};

}  // namespace

}  // namespace dt::cli
