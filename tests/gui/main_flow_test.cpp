// The main window end to end on the simulated 6200: a chip chosen in the chip dialog, its controls
// built from the set's describe list, a HEX file loaded into the hex view, and Write, Verify and Go
// run through the window's own buttons with their result lines in the log.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <QStatusBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

#include "app/core/buffer/BufferView.h"
#include "app/core/catalogue/Selection.h"
#include "app/forms/Filew.h"
#include "app/forms/Forms.h"
#include "app/forms/HexView.h"
#include "app/forms/TypeDlg.h"
#include "app/services/AppState.h"
#include "app/services/Messages.h"
#include "skin/Suibutton.h"
#include "skin/Suiradiogroup.h"
#include "support/FakeAlgorithmSet.h"
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
    StartMainWindow();
    // The EPROM set stands in as the test set; the device list is the program's own.
    selectionHooks().findSet = [](std::string_view key) -> AlgorithmDispatcher {
      return key == "P27" ? &test::FakeAlgorithmSet::Dispatch : nullptr;
    };
    // A 32 KiB EPROM that keeps what Write gave it and compares it on Verify.
    set.info = {0x8000, 0, 0, 8, 0, 0, 0, 0};
    set.describe = {"$Fonc:",    "21 Erase",  "22 Blank", "23 Write",
                    "24 Verify", "$DisTool:", "25,26,",   "$end"};
    // Like a real set, its set-up loads the chip's design into the programmer.
    set.actions[kOpSetup] = [] { gLink.LastBitstream = "eprom_test.bit"; };
    set.actions[kOpWrite] = [this] {
      chip.assign(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + 0x8000);
    };
    set.actions[kOpVerify] = [this] {
      const auto diff = std::mismatch(chip.begin(), chip.end(), gApp.CodeBuffer.begin());
      if (diff.first == chip.end()) {
        set.results.erase(kOpVerify);
        return;
      }
      set.results[kOpVerify] = 1;
      gLink.FailAddress = static_cast<std::uint32_t>(diff.first - chip.begin());
      gLink.FailByte = *diff.first;
    };
  }
  void TearDown() override {
    MainWindowFixture::TearDown();
    SetSelectionHooks({});
  }

  void ChooseChip(const char* category, const QString& name) {
    TypeDlg->PrepareChipDialog();
    for (int i = 0; i < TypeDlg->RadioGroup1->ItemCount(); ++i) {
      if (TypeDlg->RadioGroup1->Button(i)->Caption() == category) {
        TypeDlg->RadioGroup1->Button(i)->Click();
      }
    }
    TypeDlg->OnChange2(name);
    const auto hits = TypeDlg->ListBox2->findItems(name, Qt::MatchExactly);
    ASSERT_EQ(hits.size(), 1);
    TypeDlg->ListBox2->setCurrentItem(hits[0]);
    TypeDlg->ButtonOk->click();
  }

  std::string ViewLine(int line) {
    return MainForm->RichEdit1->dump()->document()->findBlockByNumber(line).text().toStdString();
  }

  bool LogHas(const std::string& line) {
    const auto log = fake.LogTexts();
    return std::find(log.begin(), log.end(), line) != log.end();
  }

  test::FakeAlgorithmSet set;
  std::vector<std::uint8_t> chip;
};

TEST_F(MainFlowTest, ChooseLoadWriteVerifyAndGo) {
  ASSERT_EQ(gLink.ModelNumber, 6200);

  // The chip dialog binds the chip; the window follows the set's describe list.
  ChooseChip("EPROM", "AT27C256");
  ASSERT_EQ(gApp.ChipName, "AT27C256");
  EXPECT_EQ(MainForm->TypeName->text(), "AT27C256");
  EXPECT_TRUE(MainForm->Caption().find("ATMEL: AT27C256") != std::string::npos)
      << MainForm->Caption();
  EXPECT_EQ(MainForm->StatusText(), "ATMEL: AT27C256  Counter:0");
  ASSERT_EQ(MainForm->suiCheckGroup1->ItemCount(), 4);
  EXPECT_EQ(MainForm->suiCheckGroup1->Button(3)->Caption(), "Verify");
  EXPECT_TRUE(MainForm->toolButtons.at("suiImageButtonWrite")->isEnabled());
  EXPECT_FALSE(MainForm->toolButtons.at("suiImageButtonConfig")->isEnabled());
  EXPECT_FALSE(MainForm->actions.at("Protect1")->isEnabled());
  EXPECT_TRUE(MainForm->ButtonGo->isEnabled());

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
  EXPECT_TRUE(LogHas(OperationResultLine(OperationTitle(kOpWrite), 0, 0, 0)));
  EXPECT_TRUE(LogHas(OperationResultLine(OperationTitle(kOpVerify), 0, 0, 0)));
  ASSERT_EQ(chip.size(), 0x8000u);
  EXPECT_EQ(chip[0x13], 0x78);

  // A byte typed into the hex view differs from the chip: Verify names it.
  MainForm->RichEdit1->setCaret(1, ByteDigitColumn(false, 1));
  QKeyEvent nine(QEvent::KeyPress, Qt::Key_9, Qt::NoModifier, "9");
  QApplication::sendEvent(MainForm->RichEdit1->dump(), &nine);
  ASSERT_EQ(gApp.CodeBuffer[0x11], 0x94);
  // The edited byte is red until the next redraw, which draws every byte plain.
  MainForm->ShowBuffer();
  QTextCursor redrawn(MainForm->RichEdit1->dump()->document()->findBlockByNumber(1));
  redrawn.setPosition(redrawn.position() + ByteDigitColumn(false, 1) + 1);
  EXPECT_NE(redrawn.charFormat().foreground().color(), QColor(Qt::red));
  fake.log.clear();
  MainForm->actions.at("Verify1")->trigger();
  EXPECT_TRUE(LogHas(OperationResultLine(OperationTitle(kOpVerify), 1, 0x11, 0x34)))
      << ::testing::PrintToString(fake.LogTexts());

  // Go runs the ticked steps only: Write and Verify, and counts the chip.
  MainForm->suiCheckGroup1->SetChecked(0, false);
  MainForm->suiCheckGroup1->SetChecked(1, false);
  set.calls.clear();
  fake.log.clear();
  MainForm->ButtonGo->click();
  std::vector<int> ops;
  for (const int op : set.Ops()) {
    if (op >= kOpErase && op <= kOpReadConfig) ops.push_back(op);
  }
  EXPECT_EQ(ops, (std::vector<int>{kOpWrite, kOpVerify}));
  EXPECT_EQ(chip[0x11], 0x94);
  EXPECT_EQ(MainForm->StatusText(), "ATMEL: AT27C256  Counter:1");
}

}  // namespace
}  // namespace zelvar
