#pragma once
// Helpers shared by the subcommands: argument parsing conventions, loading files, messages.

#include <QCommandLineParser>
#include <QString>
#include <QStringList>
#include <filesystem>
#include <memory>
#include <string>

#include "core/iff_file.h"
#include "core/type_code.h"

namespace scrivet::cli {

// One-line error on stderr ("scrivet2-cli: <message>"); returns the exit code to use (2).
int Fail(const QString& message);

// Sets up the parser with --help and the description; false (and exit code in *exitCode) when the
// arguments are bad or --help was asked (help printed, exit 0).
bool ParseArguments(QCommandLineParser& parser, const QStringList& args, const QString& description,
                    int minPositional, int maxPositional, int* exitCode);

std::filesystem::path ToPath(const QString& text);

// The text shown for a failure of the core library (file access, reading, saving).
QString CoreErrorText(const CoreFailure& failure);

// Opens an IFF file and reads its directory; reports errors itself and returns null on failure.
std::unique_ptr<IffFile> OpenIff(const QString& path);

// Four characters, taken as Latin-1 bytes ("STR#"); false for any other length.
bool ParseType(const QString& text, TypeCode& type);
// A decimal id 0-65535 (or 0x hex); false otherwise.
bool ParseId(const QString& text, uint16_t& id);
bool ParseFlags(const QString& text, uint16_t& flags);
// TYPE and ID arguments together; reports a bad one itself.
bool ParseIdentity(const QString& typeText, const QString& idText, TypeCode& type, uint16_t& id);
// The resource with that identity, its data loaded; reports a missing or unreadable one (null).
IffChunk* FindLoadedChunk(IffFile& file, const QString& path, TypeCode type, uint16_t id);

// Resource texts (Windows-1252 bytes) <-> QString through the lossless mapping.
QString FromBytes(const std::string& bytes);
std::string ToBytes(const QString& text);

// Saves the container over `path` safely; reports errors itself.
bool SaveIff(IffFile& file, const QString& path);

// Writes bytes to stdout (binary-safe).
bool WriteStdout(const void* data, size_t n);

}  // namespace scrivet::cli

namespace scrivet::cli {
// The four type characters made safe for a file name: '%', path separators, control bytes, bytes
// above 0x7E and characters Windows forbids become %XX, so the name maps back to the type.
QString TypeForFileName(TypeCode type);
}  // namespace scrivet::cli
