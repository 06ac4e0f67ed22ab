#pragma once
// The form frame: the panel that fills a form and carries its title bar. The application titles
// its windows through SetCaption and reads a window's title back through GetCaption.
#include <QWidget>
#include <functional>
#include <string>

namespace zelvar {

class TsuiForm : public QWidget {
  Q_OBJECT

 public:
  // A frame placed on `ownerForm`. Without an owner, or as a second frame on the same form, it
  // stays a plain panel without a title bar.
  explicit TsuiForm(QWidget* ownerForm);

  // Gives the text to the title bar and to the owner form's window title.
  void SetCaption(const std::string& caption);
  // The title bar's caption; empty when the frame has no title bar.
  std::string GetCaption() const;

  bool HasTitleBar() const { return hasTitleBar_; }
  QWidget* OwnerForm() const { return owner_; }

  // Fired by a click on the frame.
  std::function<void()> OnClick;

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  QWidget* owner_ = nullptr;
  bool hasTitleBar_ = false;
  std::string caption_;
};

}  // namespace zelvar
