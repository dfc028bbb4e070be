#pragma once
// The desktop implementation of Platform on Qt Widgets.

#include "editors/platform.h"

namespace scrivet {

class QtPlatform : public Platform {
 public:
  // Non-interactive: messages go to standard error and questions get their negative answer
  // (used when rendering a screenshot without anyone to click).
  explicit QtPlatform(bool interactive = true) : interactive_(interactive) {}

  MessageAnswer Message(QWidget* parent, const QString& text, const QString& caption, MessageIcon icon,
                        MessageButtons buttons) override;
  QString OpenFileName(QWidget* parent, const FileDialogRequest& request) override;
  QStringList OpenFileNames(QWidget* parent, const FileDialogRequest& request) override;
  QString SaveFileName(QWidget* parent, const FileDialogRequest& request) override;
  QString ExistingFolder(QWidget* parent, const QString& caption, const QString& start) override;
  QVariant Setting(const QString& key, const QVariant& fallback) const override;
  void SetSetting(const QString& key, const QVariant& value) override;
  void SetClipboard(const QString& text, const QByteArray& binary) override;
  bool ClipboardHasBinary() const override;
  QByteArray ClipboardBinary() const override;
  QString ClipboardText() const override;

 private:
  bool interactive_;
};

}  // namespace scrivet
