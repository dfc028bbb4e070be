// export: resources to data-only files or to one IFF file each. far: list and extract archives.

#include <QDir>
#include <QTextStream>

#include "cli/cli_util.h"
#include "cli/command.h"
#include "core/far_archive.h"
#include "core/stream.h"

namespace scrivet::cli {
namespace {

bool WriteBytes(const QString& path, const uint8_t* data, size_t n) {
  CoreFailure reason;
  bool ok = SaveFileAtomically(
      ToPath(path), [&](Stream& out) { return n == 0 || out.Write(data, n); }, &reason);
  if (!ok) Fail(QString("%1: %2").arg(path, CoreErrorText(reason)));
  return ok;
}

int RunExport(const QStringList& args) {
  QCommandLineParser parser;
  QCommandLineOption dir("dir", "Folder to write into (default: the current folder).", "D", ".");
  QCommandLineOption iff("iff", "Write one IFF file per resource, keeping type, id, name and flags.");
  parser.addOption(dir);
  parser.addOption(iff);
  if (auto exit =
          ParseArguments(parser, args,
                         "Exports resources as data-only files named TYPEID.bin, or with --iff as IFF files named "
                         "TYPEID.iff. Characters of the type that are unsafe in file names are written as %XX.",
                         {{"FILE", "The IFF file."},
                          {"TYPE", "Only resources of this type.", "[TYPE"},
                          {"ID", "Only the resource with this id.", "[ID]]"}},
                         1, 3))
    return *exit;
  const QStringList pos = parser.positionalArguments();
  TypeCode type = 0;
  uint16_t id = 0;
  if (pos.size() >= 2 && !ParseType(pos[1], type))
    return Fail(QString("'%1' is not a type code of four characters").arg(pos[1]));
  if (pos.size() >= 3 && !ParseWord(pos[2], id)) return Fail(QString("'%1' is not an id from 0 to 65535").arg(pos[2]));
  auto file = OpenIff(pos[0]);
  if (!file) return 2;
  QDir out(parser.value(dir));
  if (!out.exists() && !QDir().mkpath(out.path())) return Fail(QString("%1: couldn't create the folder").arg(out.path()));
  int written = 0;
  for (IffChunk* chunk : file->ResourcesByTypeAndId()) {
    if (pos.size() >= 2 && chunk->type != type) continue;
    if (pos.size() >= 3 && chunk->id != id) continue;
    if (!file->LoadChunkData(*chunk)) return Fail(QString("%1: couldn't read a resource's data").arg(pos[0]));
    QString base = QString::fromLatin1(TypeCodeToFileName(chunk->type)) + QString::number(chunk->id);
    if (parser.isSet(iff)) {
      auto single = IffFile::CreateEmpty(false);
      IffChunk* copy = single->AddChunk(chunk->type, chunk->id, chunk->name, chunk->Data(), chunk->Size());
      if (!copy) return Fail("out of memory");
      copy->flags = chunk->flags;
      if (!SaveIff(*single, out.filePath(base + ".iff"))) return 2;
    } else if (!WriteBytes(out.filePath(base + ".bin"), chunk->Data(), chunk->Size())) {
      return 2;
    }
    ++written;
  }
  if (written == 0 && pos.size() >= 2) return Fail(QString("%1: no matching resource").arg(pos[0]));
  return 0;
}

// The last component of an archive entry name ("D:\Sims\...\PizzaDude.iff" gives "PizzaDude.iff").
QString EntryFileName(const std::string& name) {
  QString text = FromCp1252(name);
  qsizetype cut = std::max(text.lastIndexOf('\\'), text.lastIndexOf('/'));
  text = text.mid(cut + 1);
  if (text.isEmpty() || text == "." || text == "..") return {};
  return text;
}

int RunFar(const QStringList& args) {
  QCommandLineParser parser;
  QCommandLineOption dir("dir", "Folder to extract into (default: the current folder).", "D", ".");
  parser.addOption(dir);
  if (auto exit =
          ParseArguments(parser, args,
                         "far ls ARCHIVE lists entries (data size, name); far extract ARCHIVE [NAME...] [--dir D] "
                         "writes entries as files named after the last part of their names.",
                         {{"ls|extract", "List the entries, or extract them."},
                          {"ARCHIVE", "The FAR archive."},
                          {"NAME", "Entries to extract (default: all); full names or file names.", "[NAME...]"}},
                         2, -1))
    return *exit;
  const QStringList pos = parser.positionalArguments();
  const QString verb = pos[0];
  if (verb != "ls" && verb != "extract") return Fail(QString("unknown far command '%1' (ls or extract)").arg(verb));
  if (verb == "ls" && pos.size() != 2) return Fail("far ls takes one archive");
  FarArchive archive;
  CoreFailure reason;
  if (!archive.OpenPath(ToPath(pos[1]), &reason)) return Fail(QString("%1: %2").arg(pos[1], CoreErrorText(reason)));
  QTextStream out(stdout);
  if (verb == "ls") {
    for (const FarEntry& e : archive.Entries()) out << e.dataSize << '\t' << FromCp1252(e.name) << '\n';
    return 0;
  }
  QDir target(parser.value(dir));
  if (!target.exists() && !QDir().mkpath(target.path()))
    return Fail(QString("%1: couldn't create the folder").arg(target.path()));
  const QStringList wanted = pos.mid(2);
  QStringList found;
  for (FarEntry& e : archive.Entries()) {
    QString full = FromCp1252(e.name), fileName = EntryFileName(e.name);
    if (!wanted.isEmpty() && !wanted.contains(full) && !wanted.contains(fileName)) continue;
    if (fileName.isEmpty()) return Fail(QString("%1: entry '%2' has no usable file name").arg(pos[1], full));
    if (!archive.LoadEntryData(e)) return Fail(QString("%1: couldn't read entry '%2'").arg(pos[1], full));
    const auto& bytes = archive.EntryData(e);
    if (!WriteBytes(target.filePath(fileName), bytes.data(), bytes.size())) return 2;
    found << full << fileName;
  }
  for (const QString& w : wanted)
    if (!found.contains(w)) return Fail(QString("%1: no entry '%2'").arg(pos[1], w));
  return 0;
}

}  // namespace

SCRIVET_REGISTER_COMMAND(exportCommand, "export", "Export resources as data-only or IFF files", &RunExport)
SCRIVET_REGISTER_COMMAND(far, "far", "List or extract the entries of a FAR archive", &RunFar)

}  // namespace scrivet::cli
