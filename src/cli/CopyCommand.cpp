// dtmorph copy INPUT OUTPUT: reads a picture and writes it again, in the format OUTPUT names or
// as values.
#include <memory>

#include "cli/CliSupport.h"

namespace dt::cli {

namespace {

struct CopyArguments {
  Input input;
  std::string output;
  TimingOptions timing;  // times the reading of INPUT
};

Command DefineCopy(CLI::App& dtmorph) {
  auto args = std::make_shared<CopyArguments>();
  CLI::App* command = dtmorph.add_subcommand(
      "copy", "read a picture and write it to OUTPUT in the format it names");
  AddInputArgument(command, args->input);
  AddOutputArgument(command, args->output);
  AddTimingOptions(command, args->timing, false);
  return {command, [args] {
            ImageEngine engine;
            bool loaded = true;
            RunTimed(args->timing, nullptr,
                     [&] { loaded = loaded && LoadInput(engine, args->input); });
            if (!loaded) return exitFailure;
            return WriteOutput(engine, args->output) ? exitSuccess : exitFailure;
          }};
}

const CommandRegistration registration{20, DefineCopy};

}  // namespace

}  // namespace dt::cli
