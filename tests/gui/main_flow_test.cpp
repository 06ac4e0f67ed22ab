// The main window end to end on the simulated 6200 with an AT27C256 in its socket: the chip chosen
// in the chip dialog binds the EPROM set, the controls follow its describe list, a HEX file loads
// into the hex view, and Write, Verify and Go run through the window's own buttons with their
// result lines in the log.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <QStatusBar>
#include <QTableWidget>
#include <QTextBlock>
#include <QTextCursor>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

#include "app/core/Backend.h"
#include "app/core/buffer/BufferView.h"
#include "app/forms/dialogs/Filew.h"
#include "app/forms/dialogs/TypeDlg.h"
#include "app/forms/widgets/ConfigGrid.h"
#include "app/forms/widgets/HexView.h"
#include "app/forms/windows/Forms.h"
#include "services/AppState.h"
#include "services/Messages.h"
#include "sim/Programmer.h"
#include "sim/chips/Eprom.h"
#include "skin/Suibutton.h"
#include "skin/Suipagecontrol.h"
#include "skin/Suiradiogroup.h"
#include "support/MainWindowFixture.h"
#include "support/QtApp.h"

namespace zelvar {
namespace {

namespace fs = std::filesystem;

// One Intel HEX data record of `bytes` at `address`, with its checksum.
std::string HexRecord(std::uint16_t address, const std::vector<std::uint8_t>& bytes) {
  char head[16];
  std::snprintf(head, sizeof head, ":%02X%04X00", static_cast<unsigned>(bytes.size()), address);
  std::string line = head;
  unsigned sum = static_cast<unsigned>(bytes.size()) + (address >> 8) + (address & 0xFF);
  for (const std::uint8_t b : bytes) {
    char digits[3];
    std::snprintf(digits, sizeof digits, "%02X", b);
    line += digits;
    sum += b;
  }
  char check[4];
  std::snprintf(check, sizeof check, "%02X", (0x100 - (sum & 0xFF)) & 0xFF);
  return line + check + "\r\n";
}

class MainFlowTest : public test::MainWindowFixture {
 protected:
  void SetUp() override {
    SimFixture::SetUp();
    StartWithChip("27C256");
  }

  std::string ViewLine(int line) {
    return MainForm->RichEdit1->dump()->document()->findBlockByNumber(line).text().toStdString();
  }

  bool LogHas(const std::string& line) {
    const auto log = fake.LogTexts();
    return std::find(log.begin(), log.end(), line) != log.end();
  }
};

TEST_F(MainFlowTest, ChooseLoadWriteVerifyAndGo) {
  ASSERT_EQ(gLink.ModelNumber, 6200);

  // The chip dialog binds the chip; the window follows the EPROM set's describe list.
  ChooseChip("EPROM", "AT27C256");
  ASSERT_EQ(gApp.ChipName, "AT27C256");
  EXPECT_EQ(MainForm->TypeName->text(), "AT27C256");
  EXPECT_TRUE(MainForm->Caption().find("ATMEL: AT27C256") != std::string::npos)
      << MainForm->Caption();
  EXPECT_EQ(MainForm->StatusText(), "ATMEL: AT27C256  Counter:0");
  ASSERT_EQ(MainForm->suiCheckGroup1->ItemCount(), 3);
  EXPECT_EQ(MainForm->suiCheckGroup1->Button(0)->Caption(), "Blank");
  EXPECT_EQ(MainForm->suiCheckGroup1->Button(2)->Caption(), "Verify");
  EXPECT_TRUE(MainForm->toolButtons.at("suiImageButtonWrite")->isEnabled());
  EXPECT_FALSE(MainForm->toolButtons.at("suiImageButtonErase")->isEnabled()) << "a UV EPROM";
  EXPECT_FALSE(MainForm->actions.at("Protect1")->isEnabled());
  EXPECT_TRUE(MainForm->ButtonGo->isEnabled());
  EXPECT_TRUE(MainForm->configGrid->Panelw->isVisibleTo(MainForm->suiTabSheet2));
  ASSERT_EQ(MainForm->configGrid->StringGridWord->rowCount(), 2);
  EXPECT_EQ(MainForm->configGrid->StringGridWord->item(0, 0)->text(), "Addr start");

  // A HEX file through the Reopen menu and the format dialog's OK.
  const std::string file = (dir / "image.hex").string();
  std::ofstream(file, std::ios::binary)
      << HexRecord(0x0010, {0x12, 0x34, 0x56, 0x78}) << ":00000001FF\r\n";
  gApp.RecentNames[0] = file;
  MainForm->ShowRecentNames();
  QTimer::singleShot(0, [] { FileFormat->suiButtonOK->click(); });
  MainForm->Nf[0]->trigger();
  EXPECT_EQ(gApp.CodeBuffer[0x11], 0x34);
  EXPECT_EQ(MainForm->Caption(), file);
  EXPECT_EQ(ViewLine(1).substr(0, 20), "  0010:  12 34 56 78") << ViewLine(1);

  MainForm->toolButtons.at("suiImageButtonWrite")->click();
  MainForm->toolButtons.at("suiImageButtonVerify")->click();
  EXPECT_TRUE(LogHas(OperationResultLine(OperationTitle(kOpWrite), 0, 0, 0)))
      << ::testing::PrintToString(fake.LogTexts());
  EXPECT_TRUE(LogHas(OperationResultLine(OperationTitle(kOpVerify), 0, 0, 0)));
  EXPECT_EQ(chip->cells[0x11], 0x34);
  EXPECT_EQ(chip->cells[0x20], 0xFF);

  // A byte typed into the hex view (0x34 to 0x14: a bit an EPROM can still clear) differs from
  // the chip: Verify names it.
  MainForm->RichEdit1->setCaret(1, ByteDigitColumn(false, 1));
  QKeyEvent one(QEvent::KeyPress, Qt::Key_1, Qt::NoModifier, "1");
  QApplication::sendEvent(MainForm->RichEdit1->dump(), &one);
  ASSERT_EQ(gApp.CodeBuffer[0x11], 0x14);
  // The edited byte is red until the next redraw, which draws every byte plain.
  MainForm->ShowBuffer();
  QTextCursor redrawn(MainForm->RichEdit1->dump()->document()->findBlockByNumber(1));
  redrawn.setPosition(redrawn.position() + ByteDigitColumn(false, 1) + 1);
  EXPECT_NE(redrawn.charFormat().foreground().color(), QColor(Qt::red));
  fake.log.clear();
  MainForm->actions.at("Verify1")->trigger();
  EXPECT_TRUE(LogHas(OperationResultLine(OperationTitle(kOpVerify), 1, 0x11, 0x34)))
      << ::testing::PrintToString(fake.LogTexts());

  // Go runs the ticked steps only: Blank would fail on the written chip, Write and Verify pass,
  // and the chip is counted.
  MainForm->suiCheckGroup1->SetChecked(0, false);
  fake.log.clear();
  MainForm->ButtonGo->click();
  EXPECT_EQ(chip->cells[0x11], 0x14);
  EXPECT_EQ(gLink.StatusWord, 0) << ::testing::PrintToString(fake.LogTexts());
  EXPECT_EQ(MainForm->StatusText(), "ATMEL: AT27C256  Counter:1");
}

}  // namespace
}  // namespace zelvar
