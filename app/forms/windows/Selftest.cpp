#include "app/forms/windows/Selftest.h"

namespace zelvar {

TSelfWin* SelfWin = nullptr;

TSelfWin::TSelfWin(QWidget* parent) : QWidget(parent) {
  hide();
}

void TSelfWin::RunSelfTest(int) {
  test.Run();
}

}  // namespace zelvar
