// The options that dtmorph transform and dtmorph morph share: the distance function (or filter
// shape) and the triangle's apex.
#pragma once

#include <string>

#include "cli/CliSupport.h"

namespace dt::cli {

// --apex X,Y: the triangle's apex in the editor's units, X in -150..150, Y in 0..300.
struct Apex {
  int x = 0;
  int y = 150;
};
CLI::Option* AddApexOption(CLI::App* command, Apex& apex);

// Sets distanceFunction, t1Direction (2 for the triangle) and triangleApex as the desktop
// commands do; the apex is set after the engine exists, since a new engine resets it.
void ConfigureShape(ImageEngine& engine, int32_t distanceFunction, const Apex& apex);

}  // namespace dt::cli
