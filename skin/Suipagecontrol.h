#pragma once
// The page control and its tab sheets. The application changes tab captions at run time through
// TsuiTabSheet::SetCaption.
#include <QTabWidget>
#include <QWidget>
#include <string>
#include <vector>

namespace zelvar {

class TsuiTabSheet;

class TsuiPageControl : public QTabWidget {
  Q_OBJECT

 public:
  explicit TsuiPageControl(QWidget* parent = nullptr);

  // Appends `page` as the last page, links it and makes it the active page.
  void InsertPage(TsuiTabSheet* page);
  int PageCount() const { return static_cast<int>(pages_.size()); }
  // nullptr out of range.
  TsuiTabSheet* GetPage(int index) const;
  TsuiTabSheet* ActivePage() const;
  void SetActivePage(TsuiTabSheet* page);
  // Rewrites every tab's text from its page's caption; the active page stays.
  void UpdateCaptions();

 private:
  std::vector<TsuiTabSheet*> pages_;
};

class TsuiTabSheet : public QWidget {
  Q_OBJECT

 public:
  // A sheet inserted into `pageControl` when one is given.
  explicit TsuiTabSheet(TsuiPageControl* pageControl = nullptr);

  // Stores the caption; a sheet of a page control has the control redraw its tab captions.
  void SetCaption(const std::string& caption);
  const std::string& Caption() const { return caption_; }
  TsuiPageControl* PageControl() const { return pageControl_; }
  // Its position in the page control, -1 without one.
  int PageIndex() const;

 private:
  friend class TsuiPageControl;
  TsuiPageControl* pageControl_ = nullptr;
  std::string caption_ = " ";
};

}  // namespace zelvar
