#pragma once
// The self-test's form: it shows nothing of its own (the busy window turns while it runs) and
// holds the self-test's state.
#include <QWidget>

#include "app/core/selftest/SelfTest.h"

namespace zelvar {

class TSelfWin : public QWidget {
  Q_OBJECT
 public:
  explicit TSelfWin(QWidget* parent = nullptr);
  // The Tools menu's argument is kept for its callers; the test is the same.
  void RunSelfTest(int);
  SelfTest test;
};

extern TSelfWin* SelfWin;

}  // namespace zelvar
