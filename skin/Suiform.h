#pragma once
// The form frame: the panel that fills a form, carries its title and paints the form's background
// in its style. The application titles its windows through SetCaption and reads a window's title
// back through GetCaption.
#include <QWidget>
#include <functional>
#include <string>

#include "skin/Suimgr.h"

namespace zelvar {

class TsuiForm : public QWidget, public TsuiStyled {
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
  QColor Color() const { return colour_; }

  // Fired by a click on the frame.
  std::function<void()> OnClick;

 protected:
  void UIStyleChanged() override;
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  QWidget* owner_ = nullptr;
  bool hasTitleBar_ = false;
  std::string caption_;
  QColor colour_;
};

// Puts a whole form into one style, as its stored form gives it: the frame, every skinned control
// on the form (picture buttons keep their own pictures), and the form colour under the plain
// controls.
void SetFormUIStyle(QWidget* form, TsuiUIStyle style);

}  // namespace zelvar
