// The simulated socket's window offscreen: it offers every family that has a chip model (the
// PLDs beside the EPROMs), puts a GAL in and takes it out, and says why the socket is empty when
// the chosen line's part has no model.
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include "app/forms/windows/SimSocketWindow.h"
#include "services/AppState.h"
#include "support/QtApp.h"

namespace zelvar::test {
namespace sim_socket_window_test {

TEST(SimSocketWindow, InsertsAGalAndSaysWhyTheSocketIsEmpty) {
  gApp.Reset();
  gApp.ProgramDir = ZELVAR_PROGRAM_DIR;
  sim::Programmer p(6200);
  const ChosenSeat chosen;
  const std::string why = "No simulated chip model of 28F002BC-T: the socket is empty";
  TSimSocket w(p, nullptr, &chosen, &why);
  w.show();
  EXPECT_EQ(w.Held->text().toStdString(), "Simulated socket: empty");
  EXPECT_TRUE(w.Note->isVisible());
  EXPECT_EQ(w.Note->text().toStdString(), why);

  const int gal = w.Parts->findText("GAL16V8");
  ASSERT_GE(gal, 0);
  EXPECT_GE(w.Parts->findText("ATF22V10B"), 0);
  EXPECT_GE(w.Parts->findText("AT27C256"), 0);
  EXPECT_LT(w.Parts->findText("28F002BC-T"), 0);
  w.Parts->setCurrentIndex(gal);
  w.Insert->click();
  EXPECT_EQ(w.Held->text().toStdString(), "Simulated socket: GAL16V8");
  ASSERT_NE(p.chip(), nullptr);
  EXPECT_EQ(p.chip()->Name(), "GAL16V8");
  EXPECT_FALSE(w.Note->isVisible());
  w.TakeOut->click();
  EXPECT_EQ(p.chip(), nullptr);
  w.PutBack->click();
  ASSERT_NE(p.chip(), nullptr);
  EXPECT_EQ(p.chip()->Name(), "GAL16V8");
  gApp.Reset();
}

}  // namespace sim_socket_window_test
}  // namespace zelvar::test
