// scrivet2-cli: scripting and batch work on IFF files and FAR archives.

#include <QCoreApplication>
#include <QTextStream>
#include <algorithm>

#include "cli/cli_util.h"
#include "cli/command.h"

namespace scrivet::cli {
std::vector<Command>& Commands() {
  static std::vector<Command> commands;
  return commands;
}
}  // namespace scrivet::cli

using namespace scrivet::cli;

static void PrintOverview(QTextStream& out) {
  out << "Usage: scrivet2-cli COMMAND [ARGUMENTS...]\n\n"
      << "Commands (each takes --help):\n";
  auto commands = Commands();
  std::sort(commands.begin(), commands.end(),
            [](const Command& a, const Command& b) { return std::string(a.name) < b.name; });
  for (const Command& c : commands) out << "  " << QString(c.name).leftJustified(14) << c.summary << "\n";
}

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName("scrivet2-cli");
  QCoreApplication::setApplicationVersion(SCRIVET_VERSION);
  QStringList args = QCoreApplication::arguments();
  if (args.size() < 2 || args[1] == "--help" || args[1] == "-h" || args[1] == "help") {
    QTextStream out(stdout);
    PrintOverview(out);
    return args.size() < 2 ? 2 : 0;
  }
  if (args[1] == "--version") {
    QTextStream(stdout) << "scrivet2-cli " << SCRIVET_VERSION << "\n";
    return 0;
  }
  for (const Command& c : Commands()) {
    if (args[1] == c.name) {
      QStringList rest = args.mid(2);
      rest.prepend(QString("scrivet2-cli %1").arg(c.name));
      return c.run(rest);
    }
  }
  return Fail(QString("unknown command '%1' (see scrivet2-cli --help)").arg(args[1]));
}
