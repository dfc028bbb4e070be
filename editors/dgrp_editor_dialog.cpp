#include "editors/dgrp_editor_dialog.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/iff_file.h"
#include "editors/dgrp_properties_dialog.h"
#include "editors/dialog_undo.h"
#include "editors/draw_group_preview.h"
#include "editors/picture_file.h"
#include "editors/platform.h"

namespace scrivet {

namespace {

// Direction bits 0 to 7.
const char* const kDirections[8] = {"North-East", "North", "North-West", "West",
                                    "South-West", "South", "South-East", "East"};

}  // namespace

QString DgrpHeadingText(const DgrpImage& image) {
  const DgrpImageHeading heading = HeadingOf(image);
  if (heading.direction)
    return QStringLiteral("Direction %1 - Zoom %2").arg(QLatin1String(kDirections[*heading.direction])).arg(heading.zoom);
  return QStringLiteral("DirFlags %1 - Zoom %2").arg(QLatin1String(heading.flagDigits.c_str())).arg(heading.zoom);
}

QString DgrpImageLabel(size_t index, const DgrpImage& image) {
  return QStringLiteral("%1 - %2").arg(index).arg(DgrpHeadingText(image));
}

DgrpEditorDialog::DgrpEditorDialog(DgrpEditor& logic, IffFile& file, Platform& platform, QWidget* parent)
    : QDialog(parent), logic_(logic), file_(file), platform_(platform) {
  setWindowTitle(QStringLiteral("Drawgroup editor..."));

  images_ = new QComboBox(this);
  images_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  preview_ = new DrawGroupPreview(this);
  preview_->MatchWindow(*this);
  preview_->setMinimumSize(256, 256);
  // The image list's own dialog shows no drawing failures; its properties dialog does.
  preview_->SetErrorReporting(false);
  properties_ = new QPushButton(QStringLiteral("&Properties..."), this);
  export_ = new QPushButton(QStringLiteral("E&xport PNG..."), this);
  for (QPushButton* button : {properties_, export_}) button->setAutoDefault(false);

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("&Image:"), images_);
  auto* commands = new QHBoxLayout;
  commands->addWidget(properties_);
  commands->addWidget(export_);
  commands->addStretch();

  undo_ = DialogUndo::For(this, logic_, [this] { Refresh(); });
  auto* bottom = undo_->ButtonRow(&ok_);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(preview_, 1);
  layout->addLayout(commands);
  layout->addLayout(bottom);

  connect(images_, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (guard_) return;
    logic_.SelectImage(index < 0 ? kNoRow : size_t(index));
    ShowImage();
  });
  connect(properties_, &QPushButton::clicked, this, &DgrpEditorDialog::EditProperties);
  connect(export_, &QPushButton::clicked, this, &DgrpEditorDialog::ExportPng);

  setSizeGripEnabled(true);
  resize(420, 460);
  Refresh();
}

void DgrpEditorDialog::Refresh() {
  guard_ = true;
  images_->clear();
  const std::vector<DgrpImage>& images = logic_.Group().images;
  for (size_t i = 0; i < images.size(); ++i) images_->addItem(DgrpImageLabel(i, images[i]));
  images_->setCurrentIndex(logic_.HasImage() ? int(logic_.SelectedImage()) : -1);
  guard_ = false;
  ShowImage();
}

void DgrpEditorDialog::ShowImage() {
  preview_->SetImage(file_, logic_.ShownImage());
  preview_->Center();
  properties_->setEnabled(logic_.HasImage());
  export_->setEnabled(!logic_.ShownImage().sprites.empty());
  undo_->Follow(logic_);
}

void DgrpEditorDialog::EditProperties() {
  if (!logic_.HasImage()) return;
  DgrpPropertiesEditor properties(file_, logic_.Group(), logic_.SelectedImage());
  DgrpPropertiesDialog dialog(properties, file_, platform_, this);
  if (dialog.exec() != QDialog::Accepted) return;
  logic_.TakeProperties(properties.Group());
  Refresh();
}

void DgrpEditorDialog::ExportPng() {
  if (!logic_.HasImage()) return;
  QImage picture;
  QString error;
  if (!ComposePicture(file_, logic_.ShownImage(), true, 0, picture, error)) {
    platform_.Error(this, QStringLiteral("Can't export the image: %1.").arg(error));
    return;
  }
  FileDialogRequest request;
  request.caption = QStringLiteral("Export PNG");
  request.filter = QStringLiteral("PNG files (*.png);;All files (*.*)");
  request.defaultName = QStringLiteral("DGRP%1_%2.png").arg(logic_.Group().Chunk().id).arg(logic_.SelectedImage());
  request.defaultSuffix = QStringLiteral("png");
  const QString path = platform_.SaveFileName(this, request);
  if (path.isEmpty()) return;
  if (!SavePng(picture, path, error))
    platform_.Error(this, QStringLiteral("Can't write %1: %2").arg(path, error));
}

bool RunDgrpEditor(ResourceDgrp& group, EditorContext& context) {
  DgrpEditor logic(group);
  DgrpEditorDialog dialog(logic, context.file, context.platform, context.parent);
  if (dialog.exec() != QDialog::Accepted) return false;
  group.CopyFrom(logic.Group());
  return true;
}

}  // namespace scrivet
