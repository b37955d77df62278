// dtmorph: distance transforms and morphology on black-and-white pictures from the command line,
// on the same engine as the desktop demo. Each subcommand lives in its own <Name>Command.cpp.
#include <CLI/CLI.hpp>

#include <algorithm>
#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include "cli/CliSupport.h"
#include "image/Messages.h"
#include "pictures/QtPictureCodec.h"
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
  dt::InstallServices(dt::Services{&messages, nullptr});
  dt::InstallQtPictureCodec();

  CLI::App app("Distance transforms and binary morphology on black-and-white pictures.", "dtmorph");
  app.failure_message(UsageFailure);
  app.require_subcommand(1);

  std::vector<dt::cli::Command> commands;
  for (dt::cli::CommandDefinition define : dt::cli::RegisteredCommands())
    commands.push_back(define(app));

  // A first word that names no subcommand is said to be one (the parser would only ask for one).
  if (argc > 1 && argv[1][0] != '-' &&
      std::none_of(commands.begin(), commands.end(),
                   [&](const dt::cli::Command& c) { return c.app->get_name() == argv[1]; })) {
    std::fprintf(stderr, "dtmorph: unknown subcommand: %s\n\n%s", argv[1], app.help().c_str());
    return dt::cli::exitUsage;
  }
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    const int status = app.exit(error);
    return status == 0 ? dt::cli::exitSuccess : dt::cli::exitUsage;
  }
  // Running out of memory anywhere in a run is its message and status 1, never an abort; nothing
  // is written then, and any earlier output stays as it was.
  try {
    for (const dt::cli::Command& command : commands)
      if (command.app->parsed()) return command.run();
  } catch (const std::bad_alloc&) {
    dt::ShowMessage(dt::text::memoryFailure, dt::text::errorCaption);
    return dt::cli::exitFailure;
  } catch (const dt::Stopped&) {  // Ctrl+C during a computation
    std::fputs("dtmorph: stopped; nothing was written\n", stderr);
    return dt::cli::exitStopped;
  }
  return dt::cli::exitUsage;
}
