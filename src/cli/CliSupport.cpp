#include "cli/CliSupport.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdio>
#include <limits>
#include <optional>
#include <utility>

#include "cli/ConsoleProgress.h"
#include "image/Messages.h"
#include "xpm/XpmMessages.h"

namespace dt::cli {

namespace {

std::vector<std::pair<int, CommandDefinition>>& Registry() {
  static std::vector<std::pair<int, CommandDefinition>> registry;
  return registry;
}

// The values as text on standard output.
bool WriteToStandardOutput(const ImageRecord& image) {
  const FormatResult text = FormatPicture(image, FileFormat::valuesText);
  if (!text.ok) {
    ShowMessage(text.message, text::errorCaption);
    return false;
  }
  const bool ok = std::fwrite(text.bytes.data(), 1, text.bytes.size(), stdout) ==
                      text.bytes.size() &&
                  std::fflush(stdout) == 0;
  if (!ok) ShowMessage(text::cannotWriteFile, text::errorCaption);
  return ok;
}


}  // namespace

CommandRegistration::CommandRegistration(int order, CommandDefinition define) {
  Registry().emplace_back(order, define);
}

std::vector<CommandDefinition> RegisteredCommands() {
  auto entries = Registry();
  std::stable_sort(entries.begin(), entries.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<CommandDefinition> result;
  for (const auto& entry : entries) result.push_back(entry.second);
  return result;
}

CLI::Option* AddInputArgument(CLI::App* command, Input& input) {
  command
      ->add_option_function<std::string>(
          "--threshold",
          [&input](const std::string& text) {
            input.reading.threshold = static_cast<int>(*ParseWholeNumber(text, 0, 255));
          },
          "read pictures of more than two grey values as black and white: a pixel whose "
          "luminance (0-255) is at least N is white")
      ->type_name("N")
      ->check(CLI::Validator(
          [](std::string& text) -> std::string {
            if (ParseWholeNumber(text, 0, 255)) return {};
            return "not a whole number from 0 to 255: " + text;
          },
          "0 to 255", "threshold"));
  return command
      ->add_option("INPUT", input.name,
                   "picture to read: XPM, PNG, PBM/PGM/PPM, BMP, TIFF, GIF or JPEG, black and "
                   "white (two grey values, the lighter one white) unless --threshold is given")
      ->required();
}

CLI::Option* AddOutputArgument(CLI::App* command, std::string& output) {
  return command
      ->add_option("OUTPUT", output,
                   "file to write, in the format its extension names: .xpm (two colours, or a "
                   "distance map in 16 greys), .png (1 bit, or a map in 16-bit grey), .pgm (8 "
                   "bits, or a map in 16-bit grey), .pbm and .bmp (black and white only), .tif "
                   "(1 bit, or a map in 32-bit integers), .npy (NumPy int32 array), .txt (values "
                   "as text), or - (values as text on standard output)")
      ->required()
      ->check(CLI::Validator(
          [](std::string& name) -> std::string {
            const std::optional<FileFormat> format = FormatOfName(name);
            if (name == "-" || (format && Writes(*format, binaryKind))) return {};
            return "OUTPUT must end in one of " + WritableExtensions(binaryKind) +
                   " or be -: " + name;
          },
          "NAME.ext|-", "output name"));
}

std::optional<int64_t> ParseWholeNumber(const std::string& text, int64_t lowest,
                                        int64_t highest) {
  const bool negative = !text.empty() && text[0] == '-';
  const std::size_t first = negative ? 1 : 0;
  if (text.size() == first || text.size() - first > 18) return std::nullopt;  // no overflow
  int64_t value = 0;
  for (std::size_t i = first; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    value = value * 10 + (text[i] - '0');
  }
  if (negative) value = -value;
  if (value < lowest || value > highest) return std::nullopt;
  return value;
}

CLI::Option* AddNumberOption(CLI::App* command, const std::string& name, int& value, int lowest,
                             int highest, const std::string& help) {
  const std::string range = std::to_string(lowest) + " to " + std::to_string(highest);
  return command
      ->add_option_function<std::string>(
          name,
          [&value, lowest, highest](const std::string& text) {
            value = static_cast<int>(*ParseWholeNumber(text, lowest, highest));
          },
          help)
      ->type_name("N")
      ->check(CLI::Validator(
          [=](std::string& text) -> std::string {
            if (ParseWholeNumber(text, lowest, highest)) return {};
            return "not a whole number from " + range + ": " + text;
          },
          range, "number"));
}

void AddTimingOptions(CLI::App* command, TimingOptions& timing, bool computes) {
  command->add_flag("--time", timing.time,
                    "print the fastest run as \"time_ms: <milliseconds>\" on standard error");
  AddNumberOption(command, "--repeat", timing.repeat, 1, INT_MAX,
                  "run this many times (default 1)");
  if (computes)
    command->add_flag("--quiet", timing.quiet,
                      "no progress line on a terminal while the computation runs");
}

double RunTimed(const TimingOptions& timing, const std::function<void()>& prepare,
                const std::function<void()>& run, const std::function<bool()>& stopped) {
  using clock = std::chrono::high_resolution_clock;
  double fastest = std::numeric_limits<double>::infinity();
  for (int i = 0; i < std::max(1, timing.repeat) && !(i > 0 && stopped && stopped()); ++i) {
    if (prepare) prepare();
    const auto start = clock::now();
    run();
    const auto end = clock::now();
    fastest = std::min(fastest, std::chrono::duration<double, std::milli>(end - start).count());
  }
  if (timing.time) {
    std::fprintf(stderr, "time_ms: %.3f\n", fastest);
    std::fflush(stderr);
  }
  return fastest;
}

bool LoadInput(ImageEngine& engine, const Input& input) {
  return engine.LoadInputImage(input.name, input.reading);
}

bool LoadFilter(ImageEngine& engine, const std::string& filter, const ReadOptions& reading) {
  return engine.LoadFilterImage(filter, reading);
}

bool WriteOutput(ImageEngine& engine, const std::string& output) {
  if (output == "-") return WriteToStandardOutput(WorkImage);
  return engine.SaveWorkImage(output, *FormatOfName(output));
}

bool WriteOutput(const ImageRecord& image, const std::string& output) {
  if (output == "-") return WriteToStandardOutput(image);
  return ImageEngine::SavePicture(image, output, *FormatOfName(output));
}

void RunOnInput(ImageEngine& engine, const TimingOptions& timing,
                const std::function<void(const DrawingTargets&)>& computation) {
  engine.measureTime = 1;
  // The first run starts from the images as they are; a copy of the input, taken only when
  // there are more runs, puts them back for each of the others.
  std::optional<InputSnapshot> original;
  if (timing.repeat > 1) original.emplace();
  bool first = true;
  const auto restore = [&] {
    if (!first && original) original->Restore(engine);
    first = false;
  };
  const ConsoleProgress progress(!timing.quiet);
  NullSurface nowhere;
  RunTimed(timing, restore, [&] { computation({&nowhere, &nowhere}); },
           [&] { return progress.StopAsked(); });
  // Ctrl+C after the last check of a pass still means that nothing is to be written.
  if (progress.StopAsked()) throw Stopped{};
}

}  // namespace dt::cli
