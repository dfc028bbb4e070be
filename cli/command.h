#pragma once
// Subcommands of scrivet2-cli. Each lives in its own cmd_<name>.cpp and registers itself with
// SCRIVET_REGISTER_COMMAND, so adding a command touches no shared file.

#include <QStringList>
#include <functional>
#include <string>
#include <vector>

namespace scrivet::cli {

struct Command {
  const char* name;     // "ls", "far", "dump" ...
  const char* summary;  // one line for the overview
  // Receives the arguments after the command name (args[0] is "scrivet2-cli <name>").
  // Returns the process exit code; errors go to stderr as one line.
  std::function<int(const QStringList& args)> run;
};

std::vector<Command>& Commands();

struct CommandRegistrar {
  explicit CommandRegistrar(Command command) { Commands().push_back(std::move(command)); }
};

#define SCRIVET_REGISTER_COMMAND(var, ...) \
  static ::scrivet::cli::CommandRegistrar var##_registrar{::scrivet::cli::Command{__VA_ARGS__}};

}  // namespace scrivet::cli
