// What the subcommands of dtmorph share: registration, reading the input, writing the output by
// its extension, and timing.
//
// Adding a subcommand takes one new file, src/cli/<Name>Command.cpp, which defines a function
// that puts the subcommand on the parser and returns what runs it, and registers that function
// with one line at its end:
//
//   const CommandRegistration registration{30, DefineMorph};
//
// The number orders the subcommands in the help text. main() runs the one that was named.
#pragma once

#include <CLI/CLI.hpp>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "image/ImageEngine.h"

namespace dt::cli {

constexpr int exitSuccess = 0;
constexpr int exitFailure = 1;  // a file could not be read or written; the message is on stderr
constexpr int exitUsage = 2;    // the command line was wrong; the usage text is on stderr
constexpr int exitStopped = 130;  // stopped by Ctrl+C, as a shell reports an interrupted command

// A subcommand on the parser and what runs it (returning the exit status) once it was parsed.
struct Command {
  CLI::App* app = nullptr;
  std::function<int()> run;
};
using CommandDefinition = Command (*)(CLI::App& dtmorph);

struct CommandRegistration {
  CommandRegistration(int order, CommandDefinition define);
};

// Every registered definition, in help order.
std::vector<CommandDefinition> RegisteredCommands();

// --- Arguments ---
// A picture to read and how to make it black and white.
struct Input {
  std::string name;
  ReadOptions reading;
};

// INPUT: a picture in any readable format (xpm/FileFormats.h), and --threshold N for pictures
// of more than two grey values, which holds for a filter image too.
CLI::Option* AddInputArgument(CLI::App* command, Input& input);
// OUTPUT: a name whose extension names a picture format (xpm/FileFormats.h), or "-" (the values
// as text on standard output). Anything else is a usage error.
CLI::Option* AddOutputArgument(CLI::App* command, std::string& output);

// A whole number written in decimal digits, with a '-' before them if negative, and nothing else
// (no sign '+', no blanks, no other base); nothing when the text is not one or lies beyond
// lowest..highest.
std::optional<int64_t> ParseWholeNumber(const std::string& text, int64_t lowest, int64_t highest);

// An option that takes such a number from lowest to highest; anything else is a usage error
// that gives the range.
CLI::Option* AddNumberOption(CLI::App* command, const std::string& name, int& value, int lowest,
                             int highest, const std::string& help);

// An option whose value is one of a choice's names (image/Choices.h), by default its `name`.
template <class E, class Info = std::decay_t<decltype(TableOf(E{})[0])>>
CLI::Option* AddChoiceOption(CLI::App* command, const std::string& flag, E& value,
                             const std::string& help, const char* Info::*member = &Info::name) {
  return command
      ->add_option_function<std::string>(
          flag, [&value, member](const std::string& name) { value = *FromName<E>(name, member); },
          help)
      ->check(CLI::IsMember(NamesOf<E>(member)));
}

// --time prints the fastest of --repeat N runs as "time_ms: <float>" on standard error; --quiet
// leaves out the progress line of a computation (the commands that compute have it).
struct TimingOptions {
  bool time = false;
  int repeat = 1;
  bool quiet = false;
};
void AddTimingOptions(CLI::App* command, TimingOptions& timing, bool computes = true);

// Runs `prepare` (not timed) and then `run` (timed) `repeat` times, or until `stopped` says so
// after a run. With --time, prints the fastest run on standard error. Returns the fastest run in
// milliseconds.
double RunTimed(const TimingOptions& timing, const std::function<void()>& prepare,
                const std::function<void()>& run, const std::function<bool()>& stopped = {});

// Runs a computation of the engine on its input `repeat` times, with nothing drawn, timed as
// RunTimed does. Every run starts from the images as a load leaves them (the input copied into
// the work images), which is how the caller hands them over, also when a computation makes its
// result the new input. Its progress is shown (ConsoleProgress.h); Ctrl+C makes it throw
// Stopped.
void RunOnInput(ImageEngine& engine, const TimingOptions& timing,
                const std::function<void(const DrawingTargets&)>& computation);

// --- Files ---
// Reads INPUT into the engine's input image; on failure the message is already on stderr.
bool LoadInput(ImageEngine& engine, const Input& input);
bool LoadFilter(ImageEngine& engine, const std::string& filter, const ReadOptions& reading);

// Writes WorkImage to OUTPUT in the form its name asks for. A failure leaves any earlier file as
// it was and shows the message.
bool WriteOutput(ImageEngine& engine, const std::string& output);
// The same for a picture of its own.
bool WriteOutput(const ImageRecord& image, const std::string& output);

}  // namespace dt::cli
