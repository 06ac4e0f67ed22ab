#pragma once
// The page control and its tab sheets. The application changes tab captions at run time through
// TsuiTabSheet::SetCaption.
#include <QString>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "skin/Suitabcontrol.h"

namespace zelvar {

class TsuiTabSheet;

class TsuiPageControl : public TsuiTab {
  Q_OBJECT

 public:
  explicit TsuiPageControl(QWidget* parent = nullptr);
  ~TsuiPageControl() override;

  // Appends `page` as the last page, links it and makes it the active page.
  void InsertPage(TsuiTabSheet* page);
  // Unlinks `page`; the page before it becomes active (none after removing page 0).
  void RemovePage(TsuiTabSheet* page);
  // Moves `page` to `newIndex` when that lies inside the pages; else `newIndex` becomes the
  // page's own index.
  void MovePage(TsuiTabSheet* page, int& newIndex);
  int PageCount() const { return static_cast<int>(pages_.size()); }
  // nullptr out of range.
  TsuiTabSheet* GetPage(int index) const;
  TsuiTabSheet* ActivePage() const { return active_; }
  void SetActivePage(TsuiTabSheet* page) { ActivatePage(page); }
  void ActivatePage(TsuiTabSheet* page);
  // An index outside the tabs leaves no active page.
  void ActivatePage(int index);
  // 0 without an active page; the setter activates only an index inside the pages.
  int ActivePageIndex() const;
  void SetActivePageIndex(int index);
  // The nearest visible page before `index`, else the first visible one after it.
  void ActivateNextVisiblePage(int index);
  int FindNextVisiblePage(int index) const;
  int FindPrevVisiblePage(int index) const;
  void SelectNextPage(bool goForward);
  // Rewrites every tab's text from its page's caption; the active page stays.
  void UpdateCaptions();
  // The text of tab `index`.
  QString tabText(int index) const;

  void TabActive(int index) override;
  // The largest page's wish, with the tab row and the frame around it.
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void UpdateUIStyle() override;
  void BorderColorChanged() override;
  void LayoutChildren() override;

 private:
  void UpdatePageIndex();
  void HidePage(TsuiTabSheet* page);
  void ShowPage(TsuiTabSheet* page);
  std::vector<TsuiTabSheet*> pages_;
  TsuiTabSheet* active_ = nullptr;
  bool activating_ = false;
};

class TsuiTabSheet : public QWidget, public TsuiStyled {
  Q_OBJECT

 public:
  // A sheet inserted into `pageControl` when one is given.
  explicit TsuiTabSheet(TsuiPageControl* pageControl = nullptr);
  ~TsuiTabSheet() override;

  // Stores the caption; a sheet of a page control has the control redraw its tab captions.
  void SetCaption(const std::string& caption);
  const std::string& Caption() const { return caption_; }
  TsuiPageControl* PageControl() const { return pageControl_; }
  // Its position in the page control, -1 without one.
  int PageIndex() const { return pageIndex_; }
  void SetPageIndex(int index);
  // A hidden tab of the active page hands the activation to the nearest visible page.
  void SetTabVisible(bool visible);
  bool TabVisible() const;
  void SetColor(const QColor& colour);

  std::function<void()> OnShow;
  std::function<void()> OnHide;

 protected:
  void UIStyleChanged() override;
  void paintEvent(QPaintEvent* event) override;

 private:
  friend class TsuiPageControl;
  TsuiPageControl* pageControl_ = nullptr;
  std::string caption_ = " ";
  int pageIndex_ = -1;
  bool tabVisible_ = true;
  QColor colour_ = Qt::white;
};

}  // namespace zelvar
