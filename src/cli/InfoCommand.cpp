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
            // Only the picture: the work images the other commands need are never made.
            const ImageEngine engine;
            ImageRecord image;
            if (!engine.ReadInputPicture(input->name, input->reading, image)) return exitFailure;
            std::printf("width: %d\nheight: %d\nwhite: %d\nblack: %d\n", image.width,
                        image.height, image.whiteCount, image.blackCount);
            return std::fflush(stdout) == 0 ? exitSuccess : exitFailure;
          }};
}

const CommandRegistration infoRegistration{10, DefineInfo};

}  // namespace

}  // namespace dt::cli
