#pragma once
// A Platform for tests: answers come from queues filled beforehand, and every message and dialog
// request is recorded so that tests can check texts, captions and icons.

#include <QMap>
#include <deque>
#include <vector>

#include "editors/platform.h"

namespace scrivet {

class ScriptedPlatform : public Platform {
 public:
  struct ShownMessage {
    QString text;
    QString caption;
    MessageIcon icon;
    MessageButtons buttons;
    bool hadParent;
  };
  enum class DialogKind { Open, OpenMany, Save, Folder };
  struct ShownDialog {
    DialogKind kind;
    FileDialogRequest request;
  };

  // Answers, consumed in order. A question with no answer queued counts as unexpected and gets
  // its negative answer (No, or Cancel), so a forgotten answer cannot make a test loop.
  std::deque<MessageAnswer> answers;
  std::deque<QStringList> fileAnswers;  // one entry per file dialog; empty list = Cancel

  std::vector<ShownMessage> messages;
  std::vector<ShownDialog> dialogs;
  int unexpected = 0;

  MessageAnswer Message(QWidget* parent, const QString& text, const QString& caption, MessageIcon icon,
                        MessageButtons buttons) override;
  QString OpenFileName(QWidget* parent, const FileDialogRequest& request) override;
  QStringList OpenFileNames(QWidget* parent, const FileDialogRequest& request) override;
  QString SaveFileName(QWidget* parent, const FileDialogRequest& request) override;
  QString ExistingFolder(QWidget* parent, const QString& caption, const QString& start) override;
  QVariant Setting(const QString& key, const QVariant& fallback) const override;
  void SetSetting(const QString& key, const QVariant& value) override;
  void SetClipboard(const QString& text, const QByteArray& binary) override;
  bool ClipboardHasBinary() const override { return hasBinary_; }
  QByteArray ClipboardBinary() const override { return binary_; }
  QString ClipboardText() const override { return text_; }

  // Texts of all messages shown so far, in order.
  QStringList MessageTexts() const;
  void Clear();

  QMap<QString, QVariant> settings;

 private:
  QStringList NextFiles(DialogKind kind, const FileDialogRequest& request);

  QString text_;
  QByteArray binary_;
  bool hasBinary_ = false;
};

}  // namespace scrivet
