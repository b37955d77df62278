// dtmorph: distance transforms and morphology on XPM images from the command line, on the same
// engine as the desktop demo. Each subcommand lives in its own <Name>Command.cpp.
#include <CLI/CLI.hpp>

#include <string>
#include <vector>

#include "cli/CliSupport.h"
#include "platform/console/ConsoleMessages.h"

namespace {

// On a usage error: the error, then the usage of the subcommand that was being given.
std::string UsageFailure(const CLI::App* app, const CLI::Error& error) {
  const CLI::App* shown = app;
  for (const CLI::App* command : app->get_subcommands()) shown = command;
  return std::string("dtmorph: ") + error.what() + "\n\n" +
         (shown == app ? app->help() : shown->help(app->get_name()));
}

}  // namespace

int main(int argc, char** argv) {
  dt::ConsoleMessages messages;
  dt::StdProcessControl process;
  dt::InstallServices(dt::Services{&messages, nullptr, &process});

  CLI::App app("Distance transforms and binary morphology on two-colour XPM images.", "dtmorph");
  app.failure_message(UsageFailure);
  app.require_subcommand(1);

  std::vector<dt::cli::Command> commands;
  for (dt::cli::CommandDefinition define : dt::cli::RegisteredCommands())
    commands.push_back(define(app));

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    const int status = app.exit(error);
    return status == 0 ? dt::cli::exitSuccess : dt::cli::exitUsage;
  }
  for (const dt::cli::Command& command : commands)
    if (command.app->parsed()) return command.run();
  return dt::cli::exitUsage;
}
