#pragma once
// Engine values as the user reads them: resource texts (Windows-1252 bytes) <-> QString through
// the one lossless mapping, type codes, and the texts of engine failures. Shared by the editor and
// the command-line tool; needs Qt Core only.

#include <QString>
#include <string>
#include <string_view>

#include "behaviour/behaviour_error.h"
#include "core/core_error.h"
#include "core/text_codec.h"
#include "core/type_code.h"

namespace scrivet {

inline QString FromCp1252(std::string_view bytes) { return QString::fromStdU16String(Cp1252ToUtf16(bytes)); }

// Characters without a byte in the mapping become '?'.
inline std::string ToCp1252(const QString& text) {
  std::string bytes;
  Utf16ToCp1252(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), size_t(text.size())), bytes);
  return bytes;
}

// The four characters of a type code in reading order.
inline QString TypeText(TypeCode type) { return FromCp1252(TypeCodeToString(type)); }

// The text shown for a failure of the core library (file access, reading, saving).
inline QString CoreErrorText(const CoreFailure& failure) {
  switch (failure.error) {
    case CoreError::None: return QString();
    case CoreError::NotIff: return QStringLiteral("This file is *not* an IFF file!");
    case CoreError::BadVersion: return QStringLiteral("The file verison of the IFF file is not supported!");
    case CoreError::InvalidHandle: return QStringLiteral("The file is not open.");
    case CoreError::System: return QString::fromStdString(failure.detail);
    case CoreError::OutOfMemory: return QStringLiteral("Out of memory.");
    case CoreError::ShortRead: return QStringLiteral("Couldn't read the whole file.");
    case CoreError::SourceChanged: return QStringLiteral("The file was changed by another program since it was opened.");
    case CoreError::DataUnreadable: return QStringLiteral("Couldn't read all resource data from the file.");
    case CoreError::WriteFailed: return QStringLiteral("Couldn't write the file.");
    case CoreError::NotFar: return QStringLiteral("Not a readable FAR archive (version 1).");
  }
  return QString::fromStdString(failure.detail);
}

// The start-up message of a failed behaviour load (empty for None).
inline QString BehaviourErrorText(BehaviourError error) {
  switch (error) {
    case BehaviourError::NoBehaviourFile: return QStringLiteral("Can't load The Sims\\GameData\\Behavior.iff!");
    case BehaviourError::CantOpenScript: return QStringLiteral("Can't open script.txt!");
    case BehaviourError::ScriptParseError: return QStringLiteral("Error while parsing script.txt!");
    case BehaviourError::NoMain: return QStringLiteral("Can't find the \"main\" subroutine!");
    case BehaviourError::None: break;
  }
  return {};
}

}  // namespace scrivet
