#include "cli/ShapeOptions.h"


namespace dt::cli {

namespace {

// "X,Y" with both numbers whole (as ParseWholeNumber reads them) and in range; the parsed apex,
// or false.
bool ParseApex(const std::string& text, ApexPoint& apex) {
  const std::size_t comma = text.find(',');
  if (comma == std::string::npos) return false;
  const auto x = ParseWholeNumber(text.substr(0, comma), -150, 150);
  const auto y = ParseWholeNumber(text.substr(comma + 1), 0, 300);
  if (!x || !y) return false;
  apex = {static_cast<int>(*x), static_cast<int>(*y)};
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
            return "not X,Y with X from -150 to 150 and Y from 0 to 300: " + text;
          },
          "X,Y", "apex"));
}

}  // namespace dt::cli
