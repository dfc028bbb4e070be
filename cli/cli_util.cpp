#include "cli/cli_util.h"

#include <QTextStream>
#include <cstdio>

namespace scrivet::cli {

int Fail(const QString& message) {
  QTextStream(stderr) << "scrivet2-cli: " << message << Qt::endl;
  return 2;
}

std::optional<int> ParseArguments(QCommandLineParser& parser, const QStringList& args, const QString& description,
                                  const QList<Positional>& positional, int minPositional, int maxPositional) {
  parser.setApplicationDescription(description);
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  QCommandLineOption help(QStringList{"h", "help"}, "Show this help.");
  parser.addOption(help);
  for (const Positional& argument : positional) parser.addPositionalArgument(argument.name, argument.help, argument.syntax);
  if (!parser.parse(args)) return Fail(parser.errorText());
  if (parser.isSet(help)) {
    QTextStream(stdout) << parser.helpText();
    return 0;
  }
  const int n = int(parser.positionalArguments().size());
  if (n < minPositional || (maxPositional >= 0 && n > maxPositional))
    return Fail(QString("wrong number of arguments (see %1 --help)").arg(args.value(0)));
  return std::nullopt;
}

std::filesystem::path ToPath(const QString& text) {
#ifdef _WIN32
  return std::filesystem::path(text.toStdWString());
#else
  return std::filesystem::path(text.toLocal8Bit().toStdString());
#endif
}

std::unique_ptr<IffFile> OpenIff(const QString& path) {
  CoreFailure failure;
  auto file = IffFile::OpenPath(ToPath(path), &failure);
  if (!file || failure.error != CoreError::None) {
    Fail(QString("%1: %2").arg(path, CoreErrorText(failure)));
    return nullptr;
  }
  return file;
}

bool ParseType(const QString& text, TypeCode& type) { return ParseTypeCode(ToCp1252(text), type); }

bool ParseWord(const QString& text, uint16_t& value) {
  bool ok = false;
  uint number = text.startsWith("0x", Qt::CaseInsensitive) ? text.mid(2).toUInt(&ok, 16) : text.toUInt(&ok, 10);
  if (!ok || number > 0xFFFF) return false;
  value = uint16_t(number);
  return true;
}

bool ParseIdentity(const QString& typeText, const QString& idText, TypeCode& type, uint16_t& id) {
  if (!ParseType(typeText, type)) {
    Fail(QString("'%1' is not a type code of four characters").arg(typeText));
    return false;
  }
  if (!ParseWord(idText, id)) {
    Fail(QString("'%1' is not an id from 0 to 65535").arg(idText));
    return false;
  }
  return true;
}

IffChunk* FindLoadedChunk(IffFile& file, const QString& path, TypeCode type, uint16_t id) {
  IffChunk* chunk = file.Find(type, id);
  if (!chunk) {
    Fail(QString("%1: no resource %2 #%3").arg(path, TypeText(type)).arg(id));
    return nullptr;
  }
  if (!file.LoadChunkData(*chunk)) {
    Fail(QString("%1: couldn't read the resource's data").arg(path));
    return nullptr;
  }
  return chunk;
}

bool OpenResource(const QString& path, TypeCode type, uint16_t id, NamedResource& out) {
  out.type = type;
  out.id = id;
  out.file = OpenIff(path);
  out.chunk = out.file ? FindLoadedChunk(*out.file, path, type, id) : nullptr;
  return out.chunk != nullptr;
}

bool OpenResource(const QStringList& positional, NamedResource& out) {
  return ParseIdentity(positional[1], positional[2], out.type, out.id) &&
         OpenResource(positional[0], out.type, out.id, out);
}

bool SaveIff(IffFile& file, const QString& path) {
  CoreFailure failure;
  if (!file.SaveToPath(ToPath(path), &failure)) {
    Fail(QString("%1: Couldn't save the file! %2").arg(path, CoreErrorText(failure)));
    return false;
  }
  return true;
}

bool WriteStdout(const void* data, size_t n) {
  std::fflush(stdout);
  return n == 0 || std::fwrite(data, 1, n, stdout) == n;
}

}  // namespace scrivet::cli
