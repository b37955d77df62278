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
            // The picture alone goes from reading to writing, without the work images.
            const ImageEngine engine;
            const Input& input = args->input;
            ImageRecord image;
            bool loaded = true;
            RunTimed(args->timing, nullptr, [&] {
              loaded = loaded && engine.ReadInputPicture(input.name, input.reading, image);
            });
            if (!loaded) return exitFailure;
            return WriteOutput(image, args->output) ? exitSuccess : exitFailure;
          }};
}

const CommandRegistration copyRegistration{20, DefineCopy};

}  // namespace

}  // namespace dt::cli
