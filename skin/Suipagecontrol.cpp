#include "skin/Suipagecontrol.h"

#include <QPainter>
#include <algorithm>

#include "skin/Suipublic.h"

namespace zelvar {

TsuiPageControl::TsuiPageControl(QWidget* parent) : TsuiTab(parent) {
  Row()->SetTabs({});
  SetUIStyle(OwnerStyle(parent));
}

TsuiPageControl::~TsuiPageControl() {
  // The sheets are children that go with the control; they must not call back into it.
  for (TsuiTabSheet* page : pages_) page->pageControl_ = nullptr;
}

void TsuiPageControl::InsertPage(TsuiTabSheet* page) {
  if (page == nullptr || page->pageControl_ == this) return;
  page->pageControl_ = this;
  page->setParent(this);
  page->SetColor(Color());
  pages_.push_back(page);
  UpdatePageIndex();
  UpdateCaptions();
  LayoutChildren();
  updateGeometry();
  ActivatePage(page);
}

void TsuiPageControl::RemovePage(TsuiTabSheet* page) {
  const auto it = std::find(pages_.begin(), pages_.end(), page);
  if (it == pages_.end()) return;
  const int index = page->pageIndex_;
  pages_.erase(it);
  page->pageControl_ = nullptr;
  page->pageIndex_ = -1;
  if (active_ == page) active_ = nullptr;
  UpdatePageIndex();
  UpdateCaptions();
  ActivatePage(index - 1);
}

void TsuiPageControl::MovePage(TsuiTabSheet* page, int& newIndex) {
  if (newIndex < 0 || newIndex > PageCount() - 1) {
    newIndex = page->pageIndex_;
    return;
  }
  pages_.erase(std::find(pages_.begin(), pages_.end(), page));
  pages_.insert(pages_.begin() + newIndex, page);
  UpdatePageIndex();
  UpdateCaptions();
  ActivatePage(page);
}

TsuiTabSheet* TsuiPageControl::GetPage(int index) const {
  if (index < 0 || index >= PageCount()) return nullptr;
  return pages_[index];
}

void TsuiPageControl::HidePage(TsuiTabSheet* page) {
  page->hide();
  if (page->OnHide) page->OnHide();
}

void TsuiPageControl::ShowPage(TsuiTabSheet* page) {
  page->setGeometry(ClientRect());
  page->show();
  page->raise();
  page->update();
  if (page->OnShow) page->OnShow();
}

void TsuiPageControl::ActivatePage(TsuiTabSheet* page) {
  if (active_ != nullptr && active_ != page) HidePage(active_);
  active_ = page;
  if (page == nullptr) return;
  activating_ = true;
  Row()->SetTabIndex(page->pageIndex_);
  activating_ = false;
  ShowPage(page);
}

void TsuiPageControl::ActivatePage(int index) {
  if (active_ != nullptr && active_->pageIndex_ != index) {
    HidePage(active_);
    active_ = nullptr;
  }
  ActivatePage(index >= 0 && index < Row()->Tabs().size() ? GetPage(index) : nullptr);
}

int TsuiPageControl::ActivePageIndex() const {
  return active_ != nullptr ? active_->pageIndex_ : 0;
}

void TsuiPageControl::SetActivePageIndex(int index) {
  if (index >= 0 && index < PageCount()) ActivatePage(pages_[index]);
}

void TsuiPageControl::ActivateNextVisiblePage(int index) {
  for (int i = index - 1; i >= 0; --i) {
    if (pages_[i]->TabVisible()) return ActivatePage(pages_[i]);
  }
  for (int i = index + 1; i < PageCount(); ++i) {
    if (pages_[i]->TabVisible()) return ActivatePage(pages_[i]);
  }
}

int TsuiPageControl::FindNextVisiblePage(int index) const {
  for (int i = index + 1; i < PageCount(); ++i) {
    if (pages_[i]->TabVisible()) return i;
  }
  for (int i = 0; i < index && i < PageCount(); ++i) {
    if (pages_[i]->TabVisible()) return i;
  }
  return -1;
}

int TsuiPageControl::FindPrevVisiblePage(int index) const {
  for (int i = std::min(index, PageCount()) - 1; i >= 0; --i) {
    if (pages_[i]->TabVisible()) return i;
  }
  for (int i = PageCount() - 1; i > index; --i) {
    if (pages_[i]->TabVisible()) return i;
  }
  return -1;
}

void TsuiPageControl::SelectNextPage(bool goForward) {
  if (active_ == nullptr) return;
  const int i = goForward ? FindNextVisiblePage(active_->pageIndex_)
                          : FindPrevVisiblePage(active_->pageIndex_);
  ActivatePage(GetPage(i));
}

void TsuiPageControl::UpdatePageIndex() {
  for (int i = 0; i < PageCount(); ++i) {
    pages_[i]->pageIndex_ = i;
    Row()->SetTabVisible(i, pages_[i]->tabVisible_);
  }
}

void TsuiPageControl::UpdateCaptions() {
  QStringList tabs;
  for (TsuiTabSheet* page : pages_) tabs << QString::fromStdString(page->caption_);
  Row()->SetTabs(tabs);
}

QString TsuiPageControl::tabText(int index) const {
  return index >= 0 && index < Row()->Tabs().size() ? Row()->Tabs()[index] : QString();
}

// The row chose tab `index`: its page becomes the active one, then the control's events fire.
void TsuiPageControl::TabActive(int index) {
  if (!activating_) {
    TsuiTabSheet* page = GetPage(index);
    if (active_ != nullptr && active_ != page) HidePage(active_);
    active_ = page;
    if (page != nullptr) {
      ShowPage(page);
      // Unless the row keeps the focus, the page's first control takes it.
      if (!Row()->hasFocus() && !IsFormLoading(this)) {
        for (QWidget* child : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
          if (child->isVisibleTo(page) && (child->focusPolicy() & Qt::TabFocus)) {
            child->setFocus(Qt::OtherFocusReason);
            break;
          }
        }
      }
    }
  }
  TsuiTab::TabActive(index);
}

namespace {

template <typename Hint>
QSize AroundPages(const std::vector<TsuiTabSheet*>& pages, int rowHeight, Hint hint) {
  QSize size(0, 0);
  for (TsuiTabSheet* page : pages) size = size.expandedTo(hint(page));
  return size + QSize(6, rowHeight + 6);
}

}  // namespace

QSize TsuiPageControl::sizeHint() const {
  return AroundPages(pages_, Row()->height(), [](QWidget* p) { return p->sizeHint(); });
}

QSize TsuiPageControl::minimumSizeHint() const {
  return AroundPages(pages_, Row()->height(), [](QWidget* p) { return p->minimumSizeHint(); });
}

void TsuiPageControl::UpdateUIStyle() {
  for (TsuiTabSheet* page : pages_) {
    page->SetFileTheme(FileTheme());
    page->SetUIStyle(UIStyle());
  }
}

void TsuiPageControl::BorderColorChanged() {
  for (TsuiTabSheet* page : pages_) page->SetColor(Color());
}

void TsuiPageControl::LayoutChildren() {
  for (TsuiTabSheet* page : pages_) {
    page->SetColor(Color());
    page->setGeometry(ClientRect());
  }
}

TsuiTabSheet::TsuiTabSheet(TsuiPageControl* pageControl) : QWidget(pageControl) {
  if (pageControl != nullptr) {
    SetUIStyle(pageControl->UIStyle());
    pageControl->InsertPage(this);
  }
}

TsuiTabSheet::~TsuiTabSheet() {
  if (pageControl_ != nullptr) pageControl_->RemovePage(this);
}

void TsuiTabSheet::SetCaption(const std::string& caption) {
  caption_ = caption;
  if (pageControl_ != nullptr) pageControl_->UpdateCaptions();
}

void TsuiTabSheet::SetPageIndex(int index) {
  if (pageControl_ == nullptr) return;
  pageControl_->MovePage(this, index);
  pageIndex_ = index;
}

void TsuiTabSheet::SetTabVisible(bool visible) {
  tabVisible_ = visible;
  if (pageControl_ == nullptr) return;
  pageControl_->Row()->SetTabVisible(pageIndex_, visible);
  if (!visible && pageControl_->ActivePage() == this)
    pageControl_->ActivateNextVisiblePage(pageIndex_);
}

bool TsuiTabSheet::TabVisible() const {
  if (pageControl_ == nullptr) return tabVisible_;
  return pageControl_->Row()->TabVisible(pageIndex_);
}

// The sheet takes its page control's colour, and so do the controls standing on it.
void TsuiTabSheet::SetColor(const QColor& colour) {
  colour_ = colour;
  QPalette p = palette();
  p.setColor(QPalette::Window, colour);
  setPalette(p);
  update();
}

void TsuiTabSheet::UIStyleChanged() {
  ContainerApplyUIStyle(this, UIStyle(), FileTheme());
}

void TsuiTabSheet::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), colour_);
}

}  // namespace zelvar
