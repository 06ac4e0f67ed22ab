#include "app/forms/Forms.h"

#include "app/forms/Disptimer.h"
#include "app/forms/Place.h"
#include "app/forms/Placeisp.h"
#include "app/forms/Showbadpinnum.h"

namespace zelvar {

void CreateForms(MainSeams seams) {
  MainForm = new TMainForm(nullptr, std::move(seams));
  DispTimer1 = new TDispTimer1(MainForm);
  // DispRun1, FileFormat, SelZorDlg and TypeDlg are created here.
  Place1 = new TPlace1(MainForm);
  ShowBadPin = new TShowBadPin(MainForm);
  // Setting1, AutoPro1, IputDlg, InputHexDlg, SelfWin, ICTestx, SearchTool and FillDlg1 are
  // created here.
  PlaceIsp1 = new TPlaceIsp1(MainForm);
}

void DestroyForms() {
  // The other forms are children of the main window and go with it.
  delete MainForm;
  MainForm = nullptr;
  DispTimer1 = nullptr;
  Place1 = nullptr;
  ShowBadPin = nullptr;
  PlaceIsp1 = nullptr;
}

void CentreOnMainForm(QWidget* w) {
  if (!MainForm || !w) return;
  const QRect m = MainForm->frameGeometry();
  w->move(m.left() + (m.width() - w->width()) / 2, m.top() + (m.height() - w->height()) / 2);
}

}  // namespace zelvar
