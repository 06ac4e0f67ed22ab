#pragma once
// The skinned memo: a multi-line edit with a border in the style's control border colour and two
// attachable skinned scroll bars kept in step both ways. An axis that cannot scroll keeps its
// bar in place, disabled and without a thumb.
#include <QPlainTextEdit>

#include "skin/Suimgr.h"

namespace zelvar {

class TsuiAttachedBars;
class TsuiScrollBar;

class TsuiMemo : public QPlainTextEdit, public TsuiStyled {
  Q_OBJECT

 public:
  explicit TsuiMemo(QWidget* parent = nullptr);
  ~TsuiMemo() override;
  void SetBorderColor(const QColor& colour);
  QColor BorderColor() const { return borderColour_; }
  void SetVScrollBar(TsuiScrollBar* bar);
  TsuiScrollBar* VScrollBar() const;
  void SetHScrollBar(TsuiScrollBar* bar);
  TsuiScrollBar* HScrollBar() const;
  TsuiAttachedBars& Bars() const { return *bars_; }

 protected:
  void UIStyleChanged() override;
  bool event(QEvent* event) override;

 private:
  QColor borderColour_;
  TsuiAttachedBars* bars_;
};

}  // namespace zelvar
