#pragma once
// Helpers shared by the subcommands: argument parsing conventions, loading files, messages.

#include <QCommandLineParser>
#include <QString>
#include <QStringList>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "core/iff_file.h"
#include "core/type_code.h"
#include "editors/qt_text.h"

namespace scrivet::cli {

// One-line error on stderr ("scrivet2-cli: <message>"); returns the exit code to use (2).
int Fail(const QString& message);

// A positional argument: its name, its help and, where it differs from the name, its usage syntax.
struct Positional {
  QString name;
  QString help;
  QString syntax = {};
};

// Adds --help, the description and the positional arguments to the parser (which holds the
// command's options) and parses `args`. When the command must end at once (bad arguments, reported;
// --help, printed) returns its exit code.
std::optional<int> ParseArguments(QCommandLineParser& parser, const QStringList& args, const QString& description,
                                  const QList<Positional>& positional, int minPositional, int maxPositional);

std::filesystem::path ToPath(const QString& text);

// Opens an IFF file and reads its directory; reports errors itself and returns null on failure.
std::unique_ptr<IffFile> OpenIff(const QString& path);

// Four characters through the Windows-1252 mapping ("STR#"); false for any other length.
bool ParseType(const QString& text, TypeCode& type);
// A number from 0 to 65535, decimal or 0x hex (ids, flags); false otherwise.
bool ParseWord(const QString& text, uint16_t& value);
// TYPE and ID arguments together; reports a bad one itself.
bool ParseIdentity(const QString& typeText, const QString& idText, TypeCode& type, uint16_t& id);

// The resource with that identity, its data loaded; reports a missing or unreadable one (null).
IffChunk* FindLoadedChunk(IffFile& file, const QString& path, TypeCode type, uint16_t id);

// One resource named on the command line: its file, and its chunk with the data loaded.
struct NamedResource {
  std::unique_ptr<IffFile> file;
  IffChunk* chunk = nullptr;
  TypeCode type = 0;
  uint16_t id = 0;
};
// Opens the IFF file at `path` and finds the resource `type` `id` in it; reports errors itself.
bool OpenResource(const QString& path, TypeCode type, uint16_t id, NamedResource& out);
// The same for the FILE TYPE ID positional arguments, parsing TYPE and ID first.
bool OpenResource(const QStringList& positional, NamedResource& out);

// Saves the container over `path` safely; reports errors itself.
bool SaveIff(IffFile& file, const QString& path);

// Writes bytes to stdout (binary-safe).
bool WriteStdout(const void* data, size_t n);

}  // namespace scrivet::cli
