// The option that dtmorph transform and dtmorph morph share: the triangle's apex.
#pragma once

#include "cli/CliSupport.h"

namespace dt::cli {

// --apex X,Y: the triangle's apex in the editor's units, X in -150..150, Y in 0..300.
CLI::Option* AddApexOption(CLI::App* command, ApexPoint& apex);

}  // namespace dt::cli
