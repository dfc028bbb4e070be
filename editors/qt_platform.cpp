#include "editors/qt_platform.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QMessageBox>
#include <QMimeData>
#include <QSettings>
#include <cstdio>

namespace scrivet {

namespace {

QSettings& UserSettings() {
  static QSettings settings(QStringLiteral("Quorvane Applications"), QStringLiteral("Scrivet 2"));
  return settings;
}

MessageAnswer NegativeAnswer(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::Ok: return MessageAnswer::Ok;
    case MessageButtons::YesNo: return MessageAnswer::No;
    default: return MessageAnswer::Cancel;
  }
}

// The files chosen in a modal file dialog; empty when cancelled.
QStringList RunFileDialog(QWidget* parent, const FileDialogRequest& request, QFileDialog::AcceptMode acceptMode,
                          QFileDialog::FileMode fileMode) {
  QFileDialog dialog(parent);
  if (!request.caption.isEmpty()) dialog.setWindowTitle(request.caption);
  dialog.setNameFilter(request.filter);
  if (!request.defaultSuffix.isEmpty()) dialog.setDefaultSuffix(request.defaultSuffix);
  if (!request.defaultName.isEmpty()) dialog.selectFile(request.defaultName);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
  dialog.setAcceptMode(acceptMode);
  dialog.setFileMode(fileMode);
  if (fileMode == QFileDialog::ExistingFile) dialog.setOption(QFileDialog::ReadOnly, true);
  return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles() : QStringList();
}

}  // namespace

MessageAnswer QtPlatform::Message(QWidget* parent, const QString& text, const QString& caption, MessageIcon icon,
                                  MessageButtons buttons) {
  if (!interactive_) {
    std::fprintf(stderr, "%s: %s\n", qPrintable(caption), qPrintable(text));
    return NegativeAnswer(buttons);
  }
  QMessageBox box(parent);
  box.setWindowTitle(caption);
  box.setText(text);
  switch (icon) {
    case MessageIcon::None: box.setIcon(QMessageBox::NoIcon); break;
    case MessageIcon::Information: box.setIcon(QMessageBox::Information); break;
    case MessageIcon::Warning: box.setIcon(QMessageBox::Warning); break;
    case MessageIcon::Error: box.setIcon(QMessageBox::Critical); break;
    case MessageIcon::Question: box.setIcon(QMessageBox::Question); break;
  }
  switch (buttons) {
    case MessageButtons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case MessageButtons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case MessageButtons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case MessageButtons::YesNoCancel:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      break;
  }
  switch (box.exec()) {
    case QMessageBox::Ok: return MessageAnswer::Ok;
    case QMessageBox::Yes: return MessageAnswer::Yes;
    case QMessageBox::No: return MessageAnswer::No;
    default: return buttons == MessageButtons::Ok ? MessageAnswer::Ok : NegativeAnswer(buttons);
  }
}

QString QtPlatform::OpenFileName(QWidget* parent, const FileDialogRequest& request) {
  if (!interactive_) return {};
  return RunFileDialog(parent, request, QFileDialog::AcceptOpen, QFileDialog::ExistingFile).value(0);
}

QStringList QtPlatform::OpenFileNames(QWidget* parent, const FileDialogRequest& request) {
  if (!interactive_) return {};
  return RunFileDialog(parent, request, QFileDialog::AcceptOpen, QFileDialog::ExistingFiles);
}

QString QtPlatform::SaveFileName(QWidget* parent, const FileDialogRequest& request) {
  if (!interactive_) return {};
  return RunFileDialog(parent, request, QFileDialog::AcceptSave, QFileDialog::AnyFile).value(0);
}

QString QtPlatform::ExistingFolder(QWidget* parent, const QString& caption, const QString& start) {
  if (!interactive_) return {};
  return QFileDialog::getExistingDirectory(parent, caption, start);
}

QVariant QtPlatform::Setting(const QString& key, const QVariant& fallback) const {
  return UserSettings().value(key, fallback);
}

void QtPlatform::SetSetting(const QString& key, const QVariant& value) { UserSettings().setValue(key, value); }

void QtPlatform::SetClipboard(const QString& text, const QByteArray& binary) {
  auto* data = new QMimeData;
  data->setText(text);
  if (!binary.isEmpty()) data->setData(BinaryDataMimeType(), binary);
  QGuiApplication::clipboard()->setMimeData(data);
}

bool QtPlatform::ClipboardHasBinary() const {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  return data && data->hasFormat(BinaryDataMimeType());
}

QByteArray QtPlatform::ClipboardBinary() const {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  return data ? data->data(BinaryDataMimeType()) : QByteArray();
}

QString QtPlatform::ClipboardText() const { return QGuiApplication::clipboard()->text(); }

}  // namespace scrivet
