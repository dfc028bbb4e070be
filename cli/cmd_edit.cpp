// Commands that read or change resources of one IFF file: cat, add, rm, rename, import, resave.
// Every change is saved through the safe save (temporary file, then rename).

#include <QFileInfo>
#include <QTextStream>

#include "cli/cli_util.h"
#include "cli/command.h"
#include "core/stream.h"

namespace scrivet::cli {
namespace {

// Opens FILE for a change; a file that does not exist yet starts as an empty container.
std::unique_ptr<IffFile> OpenForChange(const QString& path, bool mayCreate) {
  if (mayCreate && !QFileInfo::exists(path)) return IffFile::CreateEmpty(false);
  return OpenIff(path);
}

int RunCat(const QStringList& args) {
  QCommandLineParser parser;
  if (auto exit =
          ParseArguments(parser, args, "Writes a resource's data bytes to standard output.",
                         {{"FILE", "The IFF file."}, {"TYPE", "Type code, e.g. STR#."}, {"ID", "Resource id."}}, 3, 3))
    return *exit;
  NamedResource resource;
  if (!OpenResource(parser.positionalArguments(), resource)) return 2;
  if (!WriteStdout(resource.chunk->Data(), resource.chunk->Size())) return Fail("couldn't write to standard output");
  return 0;
}

int RunAdd(const QStringList& args) {
  QCommandLineParser parser;
  QCommandLineOption flagsOption("flags", "Flags word of the new resource (default 0x0010).", "FLAGS", "0x0010");
  parser.addOption(flagsOption);
  if (auto exit = ParseArguments(
          parser, args, "Adds a resource from a data file; an existing resource with the same type and id is replaced.",
          {{"FILE", "The IFF file (created when it does not exist)."},
           {"TYPE", "Type code."},
           {"ID", "Resource id."},
           {"NAME", "Resource name (at most 63 characters are stored)."},
           {"DATAFILE", "File whose bytes become the resource's data."}},
          5, 5))
    return *exit;
  const QStringList pos = parser.positionalArguments();
  TypeCode type;
  uint16_t id, flags;
  if (!ParseIdentity(pos[1], pos[2], type, id)) return 2;
  if (!ParseWord(parser.value(flagsOption), flags)) return Fail("--flags takes a number from 0 to 0xFFFF");
  std::vector<uint8_t> data;
  CoreFailure reason;
  if (!ReadWholeFile(ToPath(pos[4]), data, &reason)) return Fail(QString("%1: %2").arg(pos[4], CoreErrorText(reason)));
  auto file = OpenForChange(pos[0], true);
  if (!file) return 2;
  IffChunk* chunk = file->AddChunk(type, id, ToCp1252(pos[3]), data.data(), data.size());
  if (!chunk) return Fail("out of memory");
  chunk->flags = flags;
  return SaveIff(*file, pos[0]) ? 0 : 2;
}

int RunRm(const QStringList& args) {
  QCommandLineParser parser;
  if (auto exit = ParseArguments(parser, args, "Removes a resource.",
                                 {{"FILE", "The IFF file."}, {"TYPE", "Type code."}, {"ID", "Resource id."}}, 3, 3))
    return *exit;
  const QStringList pos = parser.positionalArguments();
  TypeCode type;
  uint16_t id;
  if (!ParseIdentity(pos[1], pos[2], type, id)) return 2;
  auto file = OpenIff(pos[0]);
  if (!file) return 2;
  if (!file->RemoveChunk(type, id)) return Fail(QString("%1: no resource %2 #%3").arg(pos[0], pos[1], pos[2]));
  return SaveIff(*file, pos[0]) ? 0 : 2;
}

int RunRename(const QStringList& args) {
  QCommandLineParser parser;
  QCommandLineOption force("force", "Replace a resource that already has the new type and id.");
  parser.addOption(force);
  if (auto exit = ParseArguments(parser, args, "Changes a resource's type, id and name; flags and data stay.",
                                 {{"FILE", "The IFF file."},
                                  {"TYPE", "Current type code."},
                                  {"ID", "Current id."},
                                  {"NEWTYPE", "New type code."},
                                  {"NEWID", "New id."},
                                  {"NEWNAME", "New name."}},
                                 6, 6))
    return *exit;
  const QStringList pos = parser.positionalArguments();
  TypeCode type, newType;
  uint16_t id, newId;
  if (!ParseIdentity(pos[1], pos[2], type, id) || !ParseIdentity(pos[3], pos[4], newType, newId)) return 2;
  auto file = OpenIff(pos[0]);
  if (!file) return 2;
  if (!file->Find(type, id)) return Fail(QString("%1: no resource %2 #%3").arg(pos[0], pos[1], pos[2]));
  if ((newType != type || newId != id) && file->Find(newType, newId)) {
    if (!parser.isSet(force))
      return Fail(QString("%1: resource %2 #%3 already exists (use --force to replace it)").arg(pos[0], pos[3], pos[4]));
    file->RemoveChunk(newType, newId);
  }
  file->ChangeIdentity(type, id, newType, newId, ToCp1252(pos[5]));
  return SaveIff(*file, pos[0]) ? 0 : 2;
}

int RunImport(const QStringList& args) {
  QCommandLineParser parser;
  if (auto exit = ParseArguments(parser, args,
                                 "Imports every resource of the source files, keeping type, id, name and flags; "
                                 "existing resources with the same type and id are replaced.",
                                 {{"FILE", "The IFF file to import into (created when it does not exist)."},
                                  {"SOURCE.iff", "IFF files whose resources are imported.", "SOURCE.iff..."}},
                                 2, -1))
    return *exit;
  const QStringList pos = parser.positionalArguments();
  auto file = OpenForChange(pos[0], true);
  if (!file) return 2;
  for (int i = 1; i < pos.size(); ++i) {
    auto source = OpenIff(pos[i]);
    if (!source) return 2;
    for (size_t k = 0; k < source->ChunkCount(); ++k) {
      IffChunk& chunk = source->ChunkAt(k);
      if (chunk.type == IffFile::kMapType) continue;
      if (!source->LoadChunkData(chunk)) return Fail(QString("%1: couldn't read a resource's data").arg(pos[i]));
      IffChunk* added = file->AddChunk(chunk.type, chunk.id, chunk.name, chunk.Data(), chunk.Size());
      if (!added) return Fail("out of memory");
      added->flags = chunk.flags;
    }
  }
  return SaveIff(*file, pos[0]) ? 0 : 2;
}

int RunResave(const QStringList& args) {
  QCommandLineParser parser;
  if (auto exit =
          ParseArguments(parser, args, "Reads an IFF file and writes it back with a fresh resource map.",
                         {{"FILE", "The IFF file."}, {"OUT", "Where to write (default: FILE itself).", "[OUT]"}}, 1, 2))
    return *exit;
  const QStringList pos = parser.positionalArguments();
  auto file = OpenIff(pos[0]);
  if (!file) return 2;
  return SaveIff(*file, pos.value(1, pos[0])) ? 0 : 2;
}

}  // namespace

SCRIVET_REGISTER_COMMAND(cat, "cat", "Write a resource's data bytes to standard output", &RunCat)
SCRIVET_REGISTER_COMMAND(add, "add", "Add a resource from a data file", &RunAdd)
SCRIVET_REGISTER_COMMAND(rm, "rm", "Remove a resource", &RunRm)
SCRIVET_REGISTER_COMMAND(rename, "rename", "Change a resource's type, id and name", &RunRename)
SCRIVET_REGISTER_COMMAND(import, "import", "Import every resource of other IFF files", &RunImport)
SCRIVET_REGISTER_COMMAND(resave, "resave", "Write an IFF file back with a fresh resource map", &RunResave)

}  // namespace scrivet::cli
