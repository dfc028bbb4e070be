#include "tests/support/scripted_platform.h"

namespace scrivet {

MessageAnswer ScriptedPlatform::Message(QWidget* parent, const QString& text, const QString& caption,
                                        MessageIcon icon, MessageButtons buttons) {
  messages.push_back({text, caption, icon, buttons, parent != nullptr});
  if (buttons == MessageButtons::Ok) {
    // Plain notices need no answer, but take one if the test queued it.
    if (!answers.empty() && answers.front() == MessageAnswer::Ok) answers.pop_front();
    return MessageAnswer::Ok;
  }
  if (answers.empty()) {
    ++unexpected;
    return buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Cancel;
  }
  MessageAnswer answer = answers.front();
  answers.pop_front();
  return answer;
}

QStringList ScriptedPlatform::NextFiles(DialogKind kind, const FileDialogRequest& request) {
  dialogs.push_back({kind, request});
  if (fileAnswers.empty()) {
    ++unexpected;
    return {};
  }
  QStringList files = fileAnswers.front();
  fileAnswers.pop_front();
  return files;
}

QString ScriptedPlatform::OpenFileName(QWidget*, const FileDialogRequest& request) {
  QStringList files = NextFiles(DialogKind::Open, request);
  return files.isEmpty() ? QString() : files.first();
}

QStringList ScriptedPlatform::OpenFileNames(QWidget*, const FileDialogRequest& request) {
  return NextFiles(DialogKind::OpenMany, request);
}

QString ScriptedPlatform::SaveFileName(QWidget*, const FileDialogRequest& request) {
  QStringList files = NextFiles(DialogKind::Save, request);
  return files.isEmpty() ? QString() : files.first();
}

QString ScriptedPlatform::ExistingFolder(QWidget*, const QString& caption, const QString&) {
  FileDialogRequest request;
  request.caption = caption;
  QStringList files = NextFiles(DialogKind::Folder, request);
  return files.isEmpty() ? QString() : files.first();
}

QVariant ScriptedPlatform::Setting(const QString& key, const QVariant& fallback) const {
  return settings.value(key, fallback);
}

void ScriptedPlatform::SetSetting(const QString& key, const QVariant& value) { settings.insert(key, value); }

void ScriptedPlatform::SetClipboard(const QString& text, const QByteArray& binary) {
  text_ = text;
  binary_ = binary;
  hasBinary_ = !binary.isEmpty();
}

QStringList ScriptedPlatform::MessageTexts() const {
  QStringList texts;
  for (const ShownMessage& m : messages) texts << m.text;
  return texts;
}

void ScriptedPlatform::Clear() {
  answers.clear();
  fileAnswers.clear();
  messages.clear();
  dialogs.clear();
  unexpected = 0;
}

}  // namespace scrivet
