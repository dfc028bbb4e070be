// bhav FILE ID|--all [--rewrite [--save]] [--script PATH] [--game DIR] [--stats]: routines as the
// behaviour editor shows them, one line per instruction: line number, tab, instruction text, tab,
// the two targets. --rewrite shows them after the editor's Rewrite; --save stores that result.

#include <QCoreApplication>
#include <QDir>
#include <QTextStream>
#include <cstdlib>

#include "behaviour/behaviour_startup.h"
#include "behaviour/function_catalogue.h"
#include "behaviour/instruction_formatter.h"
#include "behaviour/primitive_catalogue.h"
#include "cli/cli_util.h"
#include "cli/command.h"
#include "codecs/resource_bhav.h"
#include "edit/bhav_editor.h"

namespace scrivet::cli {
namespace {

struct Counts {
  size_t routines = 0;
  size_t instructions = 0;
  size_t primitives = 0;          // instructions of opcodes 0-51
  size_t primitiveFallbacks = 0;  // of those, not described by the script's main
};

// Prints one routine (after Rewrite when `rewritten` is given, which then receives the routine
// when Rewrite changed it).
bool PrintRoutine(IffFile& file, IffChunk& chunk, const InstructionFormatter& formatter,
                  const std::string& semiGlobal, QTextStream& out, Counts& counts,
                  std::vector<ResourceBhav>* rewritten) {
  ResourceBhav bhav;
  if (!bhav.Load(file, chunk)) return false;
  ++counts.routines;
  if (rewritten) {
    BhavEditor editor(bhav, semiGlobal);
    editor.Rewrite();
    bhav.CopyFrom(editor.Routine());
    if (editor.CanUndo()) rewritten->push_back(bhav);
  }
  for (size_t line = 0; line < bhav.instructions.size(); ++line) {
    const BhavInstruction& instruction = bhav.instructions[line];
    InstructionFormatter::Source source;
    std::string text = formatter.FormatInstruction(instruction, semiGlobal, &source);
    ++counts.instructions;
    if (instruction.opcode <= 51) {
      ++counts.primitives;
      if (source != InstructionFormatter::Source::Main) ++counts.primitiveFallbacks;
    }
    out << line << '\t' << FromCp1252(text) << '\t' << FromCp1252(NextText(instruction)) << '\n';
  }
  return true;
}

int RunBhav(const QStringList& args) {
  QCommandLineParser parser;
  QCommandLineOption all("all", "Print every routine of the file, each after a line \"BHAV ID NAME\".");
  QCommandLineOption script("script", "The script.txt to use (default: the one beside the program).", "PATH");
  QCommandLineOption game("game", "The game folder (default: the SIMS_DATA environment variable).", "DIR");
  QCommandLineOption stats("stats", "Report counts of routines, instructions and fallbacks on stderr.");
  QCommandLineOption rewrite("rewrite",
                             "Print the routines as the editor's Rewrite leaves them: lines in the order the flow "
                             "takes them, jumps renumbered.");
  QCommandLineOption save("save", "With --rewrite: store the rewritten routines in FILE (nothing is stored when a "
                                  "routine cannot be decoded).");
  parser.addOptions({all, rewrite, save, script, game, stats});
  if (auto exit = ParseArguments(parser, args, "Prints behaviour routines as the behaviour editor shows them.",
                                 {{"FILE", "The IFF file."}, {"ID", "The routine's id (not with --all)."}}, 1, 2))
    return *exit;
  const QStringList positional = parser.positionalArguments();
  const bool every = parser.isSet(all);
  if (every == (positional.size() == 2)) return Fail("give either a routine ID or --all");
  uint16_t id = 0;
  if (!every && !ParseWord(positional[1], id)) return Fail(QString("bad id '%1'").arg(positional[1]));
  if (parser.isSet(save) && !parser.isSet(rewrite)) return Fail("--save needs --rewrite");

  auto file = OpenIff(positional[0]);
  if (!file) return 2;

  QString gameFolder = parser.value(game);
  if (gameFolder.isEmpty()) gameFolder = QString::fromLocal8Bit(qgetenv("SIMS_DATA"));
  QString scriptPath = parser.value(script);
  if (scriptPath.isEmpty()) scriptPath = QDir(QCoreApplication::applicationDirPath()).filePath("script.txt");

  QTextStream err(stderr);
  BehaviourCatalogues behaviour;
  const BehaviourError error = LoadBehaviourCatalogues(
      gameFolder.isEmpty() ? std::filesystem::path() : ToPath(gameFolder), ToPath(scriptPath), behaviour);
  if (error != BehaviourError::None) {
    err << BehaviourErrorText(error) << '\n';
    err.flush();
  }
  const FunctionList privateFunctions = PrivateFunctions(*file);
  const std::string semiGlobal = SemiGlobalName(*file);
  InstructionFormatter formatter(behaviour.primitives, &behaviour.functions, &privateFunctions);

  QTextStream out(stdout);
  Counts counts;
  int result = 0;
  std::vector<ResourceBhav> rewritten;
  std::vector<ResourceBhav>* rewriting = parser.isSet(rewrite) ? &rewritten : nullptr;
  if (every) {
    for (size_t i = 0; i < file->ChunkCount(); ++i) {
      IffChunk& chunk = file->ChunkAt(i);
      if (chunk.type != ResourceBhav::kType) continue;
      out << "BHAV " << chunk.id << ' ' << FromCp1252(chunk.name) << '\n';
      if (!PrintRoutine(*file, chunk, formatter, semiGlobal, out, counts, rewriting)) {
        out.flush();
        Fail(QString("%1: BHAV %2 cannot be decoded").arg(positional[0]).arg(chunk.id));
        result = 2;
      }
    }
  } else {
    IffChunk* chunk = FindLoadedChunk(*file, positional[0], ResourceBhav::kType, id);
    if (!chunk) return 2;
    if (!PrintRoutine(*file, *chunk, formatter, semiGlobal, out, counts, rewriting)) {
      out.flush();
      return Fail(QString("%1: BHAV %2 cannot be decoded").arg(positional[0]).arg(id));
    }
  }
  out.flush();
  if (parser.isSet(save) && !rewritten.empty()) {
    if (result != 0) return Fail(QString("%1: not saved, because a routine cannot be decoded").arg(positional[0]));
    for (ResourceBhav& routine : rewritten) {
      if (!routine.Save(*file))
        return Fail(QString("%1: BHAV %2 cannot be stored").arg(positional[0]).arg(routine.Chunk().id));
    }
    if (!SaveIff(*file, positional[0])) return 2;
  }
  if (parser.isSet(stats)) {
    err << "routines " << counts.routines << ", instructions " << counts.instructions << ", primitives 0-51 "
        << counts.primitives << ", of those not described by main " << counts.primitiveFallbacks << '\n';
  }
  return result;
}

}  // namespace

SCRIVET_REGISTER_COMMAND(bhav, "bhav", "Print behaviour routines as the behaviour editor shows them", &RunBhav)

}  // namespace scrivet::cli
