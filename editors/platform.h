#pragma once
// The one seam between the program's logic and the desktop: message boxes, questions, file
// dialogs, settings and the clipboard. QtPlatform serves the program, ScriptedPlatform the tests.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>

#include "core/type_code.h"

class QWidget;

namespace scrivet {

class FunctionCatalogue;
class IffFile;
class PrimitiveCatalogue;
struct FunctionList;

enum class MessageIcon { None, Information, Warning, Error, Question };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MessageAnswer { Ok, Cancel, Yes, No };

struct FileDialogRequest {
  QString caption;        // empty: the dialog's own default
  QString filter;         // Qt form, e.g. "IFF Files (*.iff);;All files (*.*)"
  QString defaultName;    // proposed file name (may include a folder)
  QString defaultSuffix;  // appended when the user types a name without one, e.g. "iff"
  bool confirmOverwrite = true;
};

class Platform {
 public:
  virtual ~Platform() = default;

  // Modal message box. A null parent gives an ownerless box (start-up messages).
  virtual MessageAnswer Message(QWidget* parent, const QString& text, const QString& caption,
                                MessageIcon icon, MessageButtons buttons = MessageButtons::Ok) = 0;

  // File dialogs return an empty result when cancelled.
  virtual QString OpenFileName(QWidget* parent, const FileDialogRequest& request) = 0;
  virtual QStringList OpenFileNames(QWidget* parent, const FileDialogRequest& request) = 0;
  virtual QString SaveFileName(QWidget* parent, const FileDialogRequest& request) = 0;
  virtual QString ExistingFolder(QWidget* parent, const QString& caption, const QString& start) = 0;

  // Per-user settings.
  virtual QVariant Setting(const QString& key, const QVariant& fallback = QVariant()) const = 0;
  virtual void SetSetting(const QString& key, const QVariant& value) = 0;

  // Clipboard: raw bytes travel under the private format "BinaryData", beside plain text.
  virtual void SetClipboard(const QString& text, const QByteArray& binary) = 0;
  virtual bool ClipboardHasBinary() const = 0;
  virtual QByteArray ClipboardBinary() const = 0;
  virtual QString ClipboardText() const = 0;

  // Convenience wrappers.
  bool AskYesNo(QWidget* parent, const QString& text, const QString& caption,
                MessageIcon icon = MessageIcon::Question) {
    return Message(parent, text, caption, icon, MessageButtons::YesNo) == MessageAnswer::Yes;
  }
  void Error(QWidget* parent, const QString& text, const QString& caption = QStringLiteral("Error")) {
    Message(parent, text, caption, MessageIcon::Error);
  }
  // A refused entry in an editor: caption "Scrivet 2", warning icon.
  void Warn(QWidget* parent, const QString& text) {
    Message(parent, text, QStringLiteral("Scrivet 2"), MessageIcon::Warning);
  }
};

// What an editor may use besides its own copy of the resource.
struct EditorContext {
  IffFile& file;                         // the document's container, for editors that touch other chunks
  QWidget* parent;                       // owner of the modal editor
  Platform& platform;
  const PrimitiveCatalogue& primitives;  // the application's behaviour catalogues
  const FunctionCatalogue& functions;
  const FunctionList& privateFunctions;  // the routines of this document's file
  // Set by an editor that wants another resource of the file opened once it has closed (the
  // routine a call names, say): editors are modal, so the next one waits for this one.
  struct {
    bool requested = false;
    TypeCode type = 0;
    uint16_t id = 0;
  } openAfterClose;
};

// The MIME type under which the "BinaryData" clipboard format travels.
// On Windows it is the registered clipboard format of that name; elsewhere a private MIME type.
inline QString BinaryDataMimeType() {
#ifdef Q_OS_WIN
  return QStringLiteral("application/x-qt-windows-mime;value=\"BinaryData\"");
#else
  return QStringLiteral("application/x-BinaryData");
#endif
}

}  // namespace scrivet
