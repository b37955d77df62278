#include "cli/ShapeOptions.h"

#include <cstdio>

namespace dt::cli {

namespace {

// "X,Y" with both numbers whole and in range; the parsed apex, or false.
bool ParseApex(const std::string& text, ApexPoint& apex) {
  int x = 0, y = 0, used = 0;
  if (std::sscanf(text.c_str(), "%d,%d%n", &x, &y, &used) != 2) return false;
  if (used != static_cast<int>(text.size())) return false;
  if (x < -150 || x > 150 || y < 0 || y > 300) return false;
  apex = {x, y};
  return true;
}

}  // namespace

CLI::Option* AddApexOption(CLI::App* command, ApexPoint& apex) {
  return command
      ->add_option_function<std::string>(
          "--apex", [&apex](const std::string& text) { ParseApex(text, apex); },
          "apex of the triangle as X,Y: X from -150 to 150 (right of the base centre), Y from 0 "
          "to 300 (above the base, whose half width is 150); default 0,150")
      ->check(CLI::Validator(
          [](std::string& text) -> std::string {
            ApexPoint parsed;
            if (ParseApex(text, parsed)) return {};
            return "--apex must be X,Y with X in -150..150 and Y in 0..300: " + text;
          },
          "X,Y", "apex"));
}

}  // namespace dt::cli
