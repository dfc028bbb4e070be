#pragma once
// "HEX editor": edits the raw bytes of one resource in a HexEditControl. The control works on
// its own copy of the bytes; OK (or Ctrl+K) takes them over into the resource, Cancel leaves it.

#include <QDialog>

class QPushButton;

namespace scrivet {

class HexEditControl;
class Platform;
class ResourceData;

class HexEditorDialog : public QDialog {
  Q_OBJECT

 public:
  HexEditorDialog(ResourceData& resource, Platform& platform, QWidget* parent = nullptr);

  HexEditControl& Control() { return *control_; }
  QPushButton& OkButton() { return *ok_; }
  QPushButton& CancelButton() { return *cancel_; }

  void accept() override;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void Arrange();

  ResourceData& resource_;
  HexEditControl* control_;
  QPushButton* ok_;
  QPushButton* cancel_;
};

// Runs the dialog modally on `resource`; true when the user confirmed and the bytes were taken.
bool RunHexEditor(ResourceData& resource, Platform& platform, QWidget* parent);

}  // namespace scrivet
