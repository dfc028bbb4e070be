#include "editors/sprite_editor_dialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <filesystem>
#include <tuple>
#include <type_traits>

#include "core/stream.h"
#include "editors/dialog_undo.h"
#include "editors/field_messages.h"
#include "editors/platform.h"
#include "editors/qt_text.h"
#include "editors/sprite_messages.h"
#include "editors/sprite_png.h"
#include "editors/sprite_view.h"

namespace scrivet {

namespace {

const QString kAppTitle = QStringLiteral("Scrivet 2");
const QString kErrorTitle = QStringLiteral("Error!");

std::filesystem::path ToPath(const QString& text) { return std::filesystem::path(text.toStdU16String()); }

enum class Written { Ok, CantCreate, IoError };

// Through a temporary file, so that a failed write leaves the old file.
Written WriteFile(const QString& path, const void* data, size_t size) {
  CoreFailure reason;
  if (SaveFileAtomically(
          ToPath(path), [&](Stream& out) { return size == 0 || out.Write(data, size); }, &reason))
    return Written::Ok;
  return reason.error == CoreError::WriteFailed ? Written::IoError : Written::CantCreate;
}

QString SpriteFileName(const char* pattern, size_t frame) { return QString::asprintf(pattern, unsigned(frame)); }

}  // namespace

template <class L>
SpriteEditorDialog<L>::SpriteEditorDialog(L& logic, IffFile& file, Platform& platform, uint32_t background,
                                          QWidget* parent, const QString& title, const std::vector<FieldRow>& header,
                                          const std::vector<FieldRow>& frame, const QStringList& views)
    : QDialog(parent), file_(file), platform_(platform), logic_(logic), background_(background & 0xFFFFFF) {
  setWindowTitle(title);
  boxes_.assign(L::kFieldCount, nullptr);
  auto form = [this](const std::vector<FieldRow>& rows) {
    auto* layout = new QFormLayout;
    for (const FieldRow& row : rows) {
      auto* box = new QLineEdit(this);
      if (row.field >= 0) {
        boxes_[size_t(row.field)] = box;
        connect(box, &QLineEdit::textEdited, this, [this, field = row.field] { Edited(field); });
      } else {
        box->setReadOnly(true);
        (row.field == kWidth ? width_ : height_) = box;
      }
      layout->addRow(row.label, box);
    }
    return layout;
  };
  // Created in the order the user reads them, which is the tab order.
  auto* headerBox = new QGroupBox(QStringLiteral("Sprite"), this);
  headerBox->setLayout(form(header));
  list_ = new QListWidget(this);
  list_->setMinimumWidth(80);
  add_ = new QPushButton(QStringLiteral("&Add"), this);
  delete_ = new QPushButton(QStringLiteral("&Delete"), this);
  up_ = new QPushButton(QStringLiteral("Up"), this);
  down_ = new QPushButton(QStringLiteral("Dn"), this);
  auto* frameBox = new QGroupBox(QStringLiteral("Frame"), this);
  frameBox->setLayout(form(frame));
  update_ = new QPushButton(QStringLiteral("Upda&te"), this);
  autoUpdate_ = new QCheckBox(QStringLiteral("Aut&o update"), this);
  import_ = new QPushButton(QStringLiteral("&Import..."), this);
  export_ = new QPushButton(QStringLiteral("&Export..."), this);
  for (QPushButton* b : {add_, delete_, up_, down_, update_, import_, export_}) b->setAutoDefault(false);
  auto* listButtons = new QHBoxLayout;
  for (QPushButton* b : {add_, delete_, up_, down_}) listButtons->addWidget(b);
  auto* updateRow = new QHBoxLayout;
  updateRow->addWidget(update_);
  updateRow->addWidget(autoUpdate_);
  updateRow->addStretch();
  auto* fileButtons = new QHBoxLayout;
  fileButtons->addWidget(import_);
  fileButtons->addWidget(export_);

  auto* left = new QVBoxLayout;
  left->addWidget(headerBox);
  left->addWidget(list_, 1);
  left->addLayout(listButtons);
  left->addWidget(frameBox);
  left->addLayout(updateRow);
  left->addLayout(fileButtons);

  view_ = new SpriteView(this);
  position_ = new QLabel(QStringLiteral("Position = {0, 0}"), this);
  auto* viewButtons = new QHBoxLayout;
  for (int mode = 0; mode < views.size(); ++mode) {
    auto* button = new QRadioButton(views[mode], this);
    button->setChecked(mode == 0);
    views_.push_back(button);
    viewButtons->addWidget(button);
    connect(button, &QRadioButton::toggled, this, [this, mode](bool on) {
      if (!on) return;
      logic_.SetViewMode(typename L::View(mode));
      ShowFrame(false);
    });
  }
  viewButtons->addStretch();
  auto* right = new QVBoxLayout;
  right->addWidget(view_, 1);
  right->addLayout(viewButtons);
  right->addWidget(position_);

  undo_ = new DialogUndo(this, [this] { Undo(); }, [this] { Redo(); });
  auto* bottom = undo_->ButtonRow(&ok_);

  auto* top = new QHBoxLayout;
  top->addLayout(left);
  top->addLayout(right, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top, 1);
  layout->addLayout(bottom);

  connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
    if (guard_) return;
    logic_.Select(row < 0 ? kNoRow : size_t(row));
    Refresh(true);
  });
  connect(add_, &QPushButton::clicked, this, [this] { AddFrame(); });
  connect(delete_, &QPushButton::clicked, this, [this] { DeleteFrame(); });
  connect(up_, &QPushButton::clicked, this, [this] { MoveUp(); });
  connect(down_, &QPushButton::clicked, this, [this] { MoveDown(); });
  connect(update_, &QPushButton::clicked, this, [this] { Update(); });
  connect(autoUpdate_, &QCheckBox::toggled, this, [this](bool on) { logic_.SetAutoUpdate(on); });
  connect(import_, &QPushButton::clicked, this, [this] { Import(); });
  connect(export_, &QPushButton::clicked, this, [this] { Export(); });
  connect(view_, &CanvasView::positionChanged, this, [this](qint64 dx, qint64 dy) {
    position_->setText(QStringLiteral("Position = {%1, %2}").arg(dx).arg(dy));
  });
  autoUpdate_->setChecked(logic_.AutoUpdate());
  undo_->WatchTextBoxes();

  setSizeGripEnabled(true);
  resize(sizeHint().expandedTo(QSize(640, 520)));
  Refresh(true);
  list_->setFocus();
}

template <class L>
std::vector<std::string> SpriteEditorDialog<L>::Texts() const {
  std::vector<std::string> texts;
  for (const QLineEdit* box : boxes_) texts.push_back(ToCp1252(box->text()));
  return texts;
}

template <class L>
void SpriteEditorDialog<L>::Refresh(bool centre) {
  guard_ = true;
  const int count = int(logic_.FrameCount());
  while (list_->count() > count) delete list_->takeItem(list_->count() - 1);
  while (list_->count() < count) list_->addItem(QStringLiteral("#%1").arg(list_->count()));
  list_->setCurrentRow(logic_.HasSelection() ? int(logic_.Selected()) : -1);
  guard_ = false;

  const std::vector<std::string> texts = logic_.Fields();
  for (size_t i = 0; i < boxes_.size(); ++i) {
    boxes_[i]->setText(FromCp1252(texts[i]));
    // The header boxes come first; the rest belong to the selected frame.
    boxes_[i]->setEnabled(i < 2 || logic_.HasSelection());
  }
  const bool selected = logic_.HasSelection();
  width_->setText(selected ? QString::number(logic_.Working().frames[logic_.Selected()].width) : QString());
  height_->setText(selected ? QString::number(logic_.Working().frames[logic_.Selected()].height) : QString());
  for (QPushButton* b : {delete_, up_, down_, export_}) b->setEnabled(selected);
  ShowFrame(centre);
  AfterEdit();
}

template <class L>
void SpriteEditorDialog<L>::ShowFrame(bool centre) {
  FramePicture picture;
  uint32_t around = background_;
  const FrameShow shown = logic_.Render(file_, background_, picture, around);
  view_->ShowFrame(picture, around, centre);
  // Queued: a frame shown while the dialog is being built gets its message once the dialog is up.
  if (shown == FrameShow::CantDisplay && logic_.TakeMessage())
    QMetaObject::invokeMethod(
        this, [this] { Error(QStringLiteral("Can't display this sprite!"), QStringLiteral("Fatal error!")); },
        Qt::QueuedConnection);
}

template <class L>
void SpriteEditorDialog<L>::Edited(int field) {
  if (!logic_.AutoUpdate()) return;
  // Mid-typing texts that are refused wait quietly for the next keystroke or Update.
  if (!logic_.Apply(Texts(), "field" + std::to_string(field)).ok()) return;
  ShowFrame(false);
  AfterEdit();
}

template <class L>
bool SpriteEditorDialog<L>::Update() {
  const FieldVerdict verdict = logic_.Apply(Texts());
  logic_.BreakMerge();
  if (!verdict.ok()) {
    QLineEdit* box = boxes_[size_t(verdict.field)];
    bool real = false;
    if constexpr (std::is_same_v<L, Spr2Editor>)
      real = verdict.field == Spr2Editor::kOriginX || verdict.field == Spr2Editor::kOriginY;
    if (real && verdict.parse.error == EditError::NotANumber)
      platform_.Warn(this, RealRefusalText());
    else
      AcceptNumber(platform_, this, verdict.parse);
    box->setFocus();
    box->selectAll();
    return false;
  }
  Refresh(false);
  return true;
}

template <class L>
void SpriteEditorDialog<L>::AddFrame() {
  logic_.Add();
  Refresh(true);
}

template <class L>
void SpriteEditorDialog<L>::DeleteFrame() {
  if (!logic_.HasSelection()) return;
  if (!platform_.AskYesNo(this, QStringLiteral("Are you sure you want to delete the selected item?"),
                          QStringLiteral("Warning"), MessageIcon::Warning))
    return;
  logic_.Delete();
  Refresh(true);
}

template <class L>
void SpriteEditorDialog<L>::MoveUp() {
  if (logic_.MoveUp()) Refresh(false);
}

template <class L>
void SpriteEditorDialog<L>::MoveDown() {
  if (logic_.MoveDown()) Refresh(false);
}

template <class L>
void SpriteEditorDialog<L>::Error(const QString& text, const QString& caption) {
  platform_.Message(this, text, caption, MessageIcon::Error);
}

template <class L>
void SpriteEditorDialog<L>::Inform(const QString& text) {
  platform_.Message(this, text, kAppTitle, MessageIcon::Information);
}

template <class L>
void SpriteEditorDialog<L>::AfterEdit() {
  undo_->Follow(logic_);
}

template <class L>
void SpriteEditorDialog<L>::Undo() {
  const size_t before = logic_.Selected();
  if (logic_.Undo()) Refresh(logic_.Selected() != before);
}

template <class L>
void SpriteEditorDialog<L>::Redo() {
  const size_t before = logic_.Selected();
  if (logic_.Redo()) Refresh(logic_.Selected() != before);
}

template class SpriteEditorDialog<SprEditor>;
template class SpriteEditorDialog<Spr2Editor>;

// SPR#

SprEditorDialog::SprEditorDialog(SprEditor& logic, IffFile& file, Platform& platform, uint32_t background,
                                 QWidget* parent)
    : SpriteEditorDialog(logic, file, platform, background, parent, QStringLiteral("SPR# editor..."),
                         {{SprEditor::kVersion, QStringLiteral("&Version")},
                          {SprEditor::kPalette, QStringLiteral("&Palette")}},
                         {{SprEditor::kX, QStringLiteral("&X:")},
                          {SprEditor::kY, QStringLiteral("&Y:")},
                          {kHeight, QStringLiteral("Height")},
                          {kWidth, QStringLiteral("Width")},
                          {SprEditor::kFramePalette, QStringLiteral("Pa&lette:")}},
                         {QStringLiteral("Vie&w pixel data"), QStringLiteral("View tran&sparency map")}) {}

void SprEditorDialog::Import() {
  const QString filter = QStringLiteral("BMP files (*.bmp);;All files (*.*)");
  const QString pixelPath =
      platform_.OpenFileName(this, {QStringLiteral("Open the pixel data file"), filter, QString(), QStringLiteral("bmp")});
  if (pixelPath.isEmpty()) return;
  const QString maskPath = platform_.OpenFileName(
      this, {QStringLiteral("Open the transparency file"), filter, QString(), QStringLiteral("bmp")});
  if (maskPath.isEmpty()) return;
  std::vector<uint8_t> pixelBytes, maskBytes;
  if (!ReadWholeFile(ToPath(pixelPath), pixelBytes))
    return Error(QStringLiteral("Can't open the file (pixel data)"), kErrorTitle);
  if (!ReadWholeFile(ToPath(maskPath), maskBytes))
    return Error(QStringLiteral("Can't open the file (transparency)"), kErrorTitle);
  MemoryStream pixels(std::move(pixelBytes)), mask(std::move(maskBytes));
  const SpriteImport imported = Logic().Import(file_, &pixels, &mask);
  if (imported.result == SpriteImportResult::Imported) {
    Refresh(true);
    Inform(SpriteImportText(imported.result));
  } else {
    Error(SpriteImportText(imported.result), kErrorTitle);
  }
}

void SprEditorDialog::Export() {
  if (!Logic().HasSelection()) return;
  const QString filter = QStringLiteral("BMP files (*.bmp);;All files (*.*)");
  const size_t frame = Logic().Selected();
  const QString pixelPath = platform_.SaveFileName(
      this, {QString(), filter, SpriteFileName("sprite%u-px.bmp", frame), QStringLiteral("bmp")});
  if (pixelPath.isEmpty()) return;
  const QString maskPath = platform_.SaveFileName(
      this, {QString(), filter, SpriteFileName("sprite%u-zp.bmp", frame), QStringLiteral("bmp")});
  if (maskPath.isEmpty()) return;
  MemoryStream pixels, mask;
  if (!Logic().Export(file_, pixels, mask)) return Error(SpriteExportFailedText(), kErrorTitle);
  for (auto [path, stream, what] : {std::tuple{pixelPath, &pixels, "pixel data"}, {maskPath, &mask, "transparency"}}) {
    const Written written = WriteFile(path, stream->Bytes().data(), stream->Bytes().size());
    if (written == Written::IoError) return platform_.Error(this, FileIoErrorText(), kAppTitle);
    if (written == Written::CantCreate)
      return Error(QStringLiteral("Can't create a new file (%1)").arg(QLatin1String(what)), kErrorTitle);
  }
  Inform(SpriteExportedText());
}

// SPR2

Spr2EditorDialog::Spr2EditorDialog(Spr2Editor& logic, IffFile& file, Platform& platform, uint32_t background,
                                   QWidget* parent)
    : SpriteEditorDialog(logic, file, platform, background, parent, QStringLiteral("SPR2 editor..."),
                         {{Spr2Editor::kVersion, QStringLiteral("&Version")},
                          {Spr2Editor::kPalette, QStringLiteral("&Palette")}},
                         {{kWidth, QStringLiteral("Width")},
                          {kHeight, QStringLiteral("Height")},
                          {Spr2Editor::kFlags, QStringLiteral("&Flags")},
                          {Spr2Editor::kFramePalette, QStringLiteral("Pa&lette")},
                          {Spr2Editor::kTransparentColor, QStringLiteral("Transparen&cy color:")},
                          {Spr2Editor::kOriginX, QStringLiteral("Origin &X:")},
                          {Spr2Editor::kOriginY, QStringLiteral("Origin &Y:")}},
                         {QStringLiteral("Vie&w pixel data"), QStringLiteral("View &Z-buffer"),
                          QStringLiteral("View alp&ha channel")}) {}

void Spr2EditorDialog::Import() {
  const QString filter = QStringLiteral("PNG files (*.png);;All files (*.*)");
  const QString colourPath = platform_.OpenFileName(
      this, {QStringLiteral("Open the pixel data picture"), filter, QString(), QStringLiteral("png")});
  if (colourPath.isEmpty()) return;
  // Without a depth picture a frame of the same size keeps its depth.
  const QString depthPath = platform_.OpenFileName(
      this, {QStringLiteral("Open the Z-buffer picture (Cancel for none)"), filter, QString(), QStringLiteral("png")});
  RgbaPicture picture;
  PictureRead read = ReadColourPicture(colourPath, picture);
  if (read == PictureRead::Unreadable) return Error(PictureUnreadableText(false), kErrorTitle);
  if (read == PictureRead::Ok && !depthPath.isEmpty()) {
    int width = 0, height = 0;
    read = ReadDepthPicture(depthPath, width, height, picture.depth);
    if (read == PictureRead::Unreadable) return Error(PictureUnreadableText(true), kErrorTitle);
    if (read == PictureRead::Ok && (width != picture.width || height != picture.height))
      return Error(Spr2ExchangeText(Spr2ExchangeError::SizeMismatch), kErrorTitle);
  }
  if (read == PictureRead::TooLarge) return Error(Spr2ExchangeText(Spr2ExchangeError::FrameTooLarge), kErrorTitle);
  const Spr2Exchange imported = Logic().Import(file_, picture);
  if (!imported.ok()) return Error(Spr2ExchangeText(imported.error), kErrorTitle);
  Refresh(true);
  Inform(Spr2ImportedText(imported.approximated));
}

void Spr2EditorDialog::Export() {
  if (!Logic().HasSelection()) return;
  RgbaPicture picture;
  if (!Logic().Export(file_, picture).ok()) return Error(SpriteExportFailedText(), kErrorTitle);
  const QString filter = QStringLiteral("PNG files (*.png);;All files (*.*)");
  const size_t frame = Logic().Selected();
  const QString colourPath = platform_.SaveFileName(
      this, {QString(), filter, SpriteFileName("sprite%u-px.png", frame), QStringLiteral("png")});
  if (colourPath.isEmpty()) return;
  QString depthPath;
  if (!picture.depth.empty()) {
    depthPath = platform_.SaveFileName(
        this, {QString(), filter, SpriteFileName("sprite%u-z.png", frame), QStringLiteral("png")});
    if (depthPath.isEmpty()) return;
  }
  const QByteArray colour = ColourPng(picture);
  const QByteArray depth = depthPath.isEmpty() ? QByteArray() : GreyPng(picture.width, picture.height, picture.depth);
  if (colour.isEmpty() || (!depthPath.isEmpty() && depth.isEmpty()))
    return Error(SpriteExportFailedText(), kErrorTitle);
  for (auto [path, bytes, what] : {std::tuple{colourPath, &colour, "pixel data"}, {depthPath, &depth, "Z-buffer"}}) {
    if (path.isEmpty()) continue;
    const Written written = WriteFile(path, bytes->constData(), size_t(bytes->size()));
    if (written == Written::IoError) return platform_.Error(this, FileIoErrorText(), kAppTitle);
    if (written == Written::CantCreate)
      return Error(QStringLiteral("Can't create a new file (%1)").arg(QLatin1String(what)), kErrorTitle);
  }
  Inform(SpriteExportedText());
}

namespace {

uint32_t WindowBackground() { return QApplication::palette().color(QPalette::Button).rgb() & 0xFFFFFF; }

}  // namespace

bool RunSprEditor(ResourceSpr& sprite, EditorContext& context) {
  SprEditor logic(sprite);
  SprEditorDialog dialog(logic, context.file, context.platform, WindowBackground(), context.parent);
  if (dialog.exec() != QDialog::Accepted) return false;
  sprite.CopyFrom(logic.Working());
  return true;
}

bool RunSpr2Editor(ResourceSpr2& sprite, EditorContext& context) {
  Spr2Editor logic(sprite);
  Spr2EditorDialog dialog(logic, context.file, context.platform, WindowBackground(), context.parent);
  if (dialog.exec() != QDialog::Accepted) return false;
  sprite.CopyFrom(logic.Working());
  return true;
}

}  // namespace scrivet
