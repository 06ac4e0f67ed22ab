#include "skin/Suipagecontrol.h"

namespace zelvar {

TsuiPageControl::TsuiPageControl(QWidget* parent) : QTabWidget(parent) {}

void TsuiPageControl::InsertPage(TsuiTabSheet* page) {
  if (page == nullptr || page->pageControl_ == this) return;
  page->pageControl_ = this;
  pages_.push_back(page);
  addTab(page, QString::fromStdString(page->caption_));
  UpdateCaptions();
  SetActivePage(page);
}

TsuiTabSheet* TsuiPageControl::GetPage(int index) const {
  if (index < 0 || index >= PageCount()) return nullptr;
  return pages_[index];
}

TsuiTabSheet* TsuiPageControl::ActivePage() const {
  return qobject_cast<TsuiTabSheet*>(currentWidget());
}

void TsuiPageControl::SetActivePage(TsuiTabSheet* page) {
  if (page != nullptr && page->pageControl_ == this) setCurrentWidget(page);
}

void TsuiPageControl::UpdateCaptions() {
  for (TsuiTabSheet* page : pages_) {
    const int tab = indexOf(page);
    if (tab >= 0) setTabText(tab, QString::fromStdString(page->caption_));
  }
}

TsuiTabSheet::TsuiTabSheet(TsuiPageControl* pageControl) {
  if (pageControl != nullptr) pageControl->InsertPage(this);
}

void TsuiTabSheet::SetCaption(const std::string& caption) {
  caption_ = caption;
  if (pageControl_ != nullptr) pageControl_->UpdateCaptions();
}

int TsuiTabSheet::PageIndex() const {
  if (pageControl_ == nullptr) return -1;
  for (int i = 0; i < pageControl_->PageCount(); ++i) {
    if (pageControl_->GetPage(i) == this) return i;
  }
  return -1;
}

}  // namespace zelvar
