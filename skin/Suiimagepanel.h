#pragma once
// Picture panels (the base of the group boxes) and the fold-up panel.
#include <QPixmap>
#include <QWidget>
#include <functional>
#include <string>

namespace zelvar {

enum TsuiDrawStyle { suiNormal = 0, suiStretch = 1, suiTile = 2 };

// A panel that shows a picture (normal, stretched or tiled) and a centred caption.
class TsuiCustomPanel : public QWidget {
  Q_OBJECT

 public:
  explicit TsuiCustomPanel(QWidget* parent = nullptr);

  void SetPicture(const QPixmap& picture);
  const QPixmap& Picture() const { return picture_; }
  void SetDrawStyle(TsuiDrawStyle style);
  TsuiDrawStyle DrawStyle() const { return drawStyle_; }
  void SetTransparent(bool transparent);
  bool Transparent() const { return transparent_; }
  void SetPanelCaption(const std::string& caption);
  const std::string& PanelCaption() const { return panelCaption_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  // Fills the background: the parent's shows through when transparent.
  void PaintBackground(QPainter& painter);

 private:
  QPixmap picture_;
  TsuiDrawStyle drawStyle_ = suiNormal;
  bool transparent_ = false;
  std::string panelCaption_;
};

class TsuiImagePanel : public TsuiCustomPanel {
  Q_OBJECT

 public:
  explicit TsuiImagePanel(QWidget* parent = nullptr);
};

// A framed container with a title strip that folds up to the strip (Push) and opens again (Pop).
class TsuiPanel : public QWidget {
  Q_OBJECT

 public:
  explicit TsuiPanel(QWidget* parent = nullptr);

  // The opened height: applied at once while the panel is open; a folded panel keeps its height
  // and opens to this one later.
  void SetHeight2(int height);
  int Height2() const { return height2_; }
  bool Pushed() const { return !opened_; }
  void Push();
  void Pop();

  void SetCaption(const std::string& caption);
  const std::string& Caption() const { return caption_; }

  std::function<void()> OnPush;
  std::function<void()> OnPop;

  static constexpr int kTitleHeight = 20;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void ApplyHeight(int height);
  void MoveTo(bool open);
  int height2_ = 100;
  bool opened_ = true;
  bool moving_ = false;
  std::string caption_;
};

}  // namespace zelvar
