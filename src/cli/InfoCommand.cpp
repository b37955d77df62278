// dtmorph info INPUT: the size of an image and how many of its pixels are white and black.
#include <cstdio>
#include <memory>

#include "cli/CliSupport.h"

namespace dt::cli {

namespace {

Command DefineInfo(CLI::App& dtmorph) {
  auto input = std::make_shared<Input>();
  CLI::App* command = dtmorph.add_subcommand("info", "print the width, height, white and black "
                                                     "pixel counts of an image");
  AddInputArgument(command, *input);
  return {command, [input] {
            ImageEngine engine;
            if (!LoadInput(engine, *input)) return exitFailure;
            std::printf("width: %d\nheight: %d\nwhite: %d\nblack: %d\n", InputImage.width,
                        InputImage.height, InputImage.whiteCount, InputImage.blackCount);
            return std::fflush(stdout) == 0 ? exitSuccess : exitFailure;
          }};
}

const CommandRegistration registration{10, DefineInfo};

}  // namespace

}  // namespace dt::cli
