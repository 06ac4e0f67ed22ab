// The main window end to end on the simulated 6200 with an AT27C256 in its socket: the chip chosen
// in the chip dialog binds the EPROM set, the controls follow its describe list, a HEX file loads
// into the hex view, and Write, Verify and Go run through the window's own buttons with their
// result lines in the log.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFileDialog>
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
#include <functional>
#include <vector>

#include "app/core/Backend.h"
#include "app/core/buffer/BufferFiles.h"
#include "app/core/buffer/BufferUi.h"
#include "app/core/buffer/BufferView.h"
#include "app/core/runner/OperationRunner.h"
#include "app/forms/dialogs/Autopro.h"
#include "app/forms/dialogs/Filew.h"
#include "app/forms/dialogs/TypeDlg.h"
#include "app/forms/widgets/ConfigGrid.h"
#include "app/forms/widgets/HexView.h"
#include "app/forms/windows/BufferUiQt.h"
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
namespace main_flow_test {

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
    StartWithChip("AT27C256");
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

// Run takes the steps the user ticked as it starts, as Go does; reading the chip's configuration
// leaves the ticks as they stand.
TEST_F(MainFlowTest, RunTakesOnlyTheTickedSteps) {
  ChooseChip("EPROM", "AT27C256");
  ASSERT_EQ(MainForm->suiCheckGroup1->ItemCount(), 3);  // Blank, Write, Verify
  gApp.CodeBuffer[0x11] = 0x34;
  MainForm->suiCheckGroup1->SetChecked(1, false);
  MainForm->suiCheckGroup1->SetChecked(2, false);
  MainRunner()->ReadConfigClick();
  EXPECT_TRUE(MainForm->suiCheckGroup1->GetChecked(0));
  EXPECT_FALSE(MainForm->suiCheckGroup1->GetChecked(1)) << "Read config reset the ticks";

  int shows = 0;
  MainRunner()->ports().ShowAutoDialog = [&shows] {
    AutoPro1->Model().RunResult = shows++ == 0 ? 1 : 0;  // one chip placed, then Stop
  };
  fake.log.clear();
  MainForm->suiButtonRun->setEnabled(true);
  MainForm->suiButtonRun->click();
  EXPECT_EQ(shows, 2);
  EXPECT_EQ(gLink.StatusWord, 0) << ::testing::PrintToString(fake.LogTexts());
  EXPECT_EQ(chip->cells[0x11], 0xFF) << "Run wrote with Write unticked";
}

// An edited byte changes the checksum line at once.
TEST_F(MainFlowTest, AnEditedByteUpdatesTheChecksumLine) {
  MainForm->ShowBuffer();
  const QString before = MainForm->LabelCode->text();
  MainForm->RichEdit1->setCaret(0, ByteDigitColumn(false, 0));
  QKeyEvent one(QEvent::KeyPress, Qt::Key_1, Qt::NoModifier, "1");
  QApplication::sendEvent(MainForm->RichEdit1->dump(), &one);
  ASSERT_EQ(gApp.CodeBuffer[0], 0x1F);
  EXPECT_NE(MainForm->LabelCode->text(), before);
  EXPECT_EQ(MainForm->LabelCode->text().toStdString(), ShowBufferChecksum().codeLabel);
}

// A load is all or nothing: cancelled in the format dialog, refused, too big or unreadable, it
// leaves the buffer, the caption and the recent list as they were.
TEST_F(MainFlowTest, AFailedLoadChangesNothing) {
  const std::string bad = (dir / "bad.hex").string();
  std::ofstream(bad, std::ios::binary) << HexRecord(0x0010, {0x12, 0x34}) << ":0400200001\r\n";
  const std::string big = (dir / "big.bin").string();
  std::ofstream(big, std::ios::binary) << std::string(64, 'x');
  const std::string good = (dir / "good.hex").string();
  std::ofstream(good, std::ios::binary) << HexRecord(0x0000, {0xAB}) << ":00000001FF\r\n";

  struct Case {
    std::string file;
    std::function<void()> answer;  // the format dialog's button
    int start = 0;
  };
  const auto ok = [] { FileFormat->suiButtonOK->click(); };
  const std::vector<Case> cases = {
      {good, [] { FileFormat->reject(); }},
      {bad, ok},
      {big, ok, static_cast<int>(kCodeBufferSize) - 16},
      {(dir / "missing.hex").string(), ok},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    gApp.CodeBuffer[0] = gApp.CodeBuffer[0x10] = 0x5A;
    gApp.CodeBuffer[kCodeBufferSize - 1] = 0x5A;
    const std::string caption = MainForm->Caption();
    const auto recent = gApp.RecentNames;
    QTimer::singleShot(0, c.answer);
    LoadBufferFile(c.file, c.start);
    EXPECT_EQ(gApp.CodeBuffer[0], 0x5A);
    EXPECT_EQ(gApp.CodeBuffer[0x10], 0x5A);
    EXPECT_EQ(gApp.CodeBuffer[kCodeBufferSize - 1], 0x5A);
    EXPECT_EQ(MainForm->Caption(), caption);
    EXPECT_EQ(gApp.RecentNames, recent);
  }
  // A whole file does all three.
  QTimer::singleShot(0, ok);
  LoadBufferFile(good, 0);
  EXPECT_EQ(gApp.CodeBuffer[0], 0xAB);
  EXPECT_EQ(MainForm->Caption(), good);
  EXPECT_EQ(gApp.RecentNames[0], good);
}

// Save through the real file dialog: the Intel HEX filter writes HEX under the name typed.
TEST_F(MainFlowTest, SaveWritesTheChosenFormatUnderTheTypedName) {
  auto& ui = dynamic_cast<QtBufferUi&>(bufferUi());
  gApp.CodeLastAddress = 0xFF;
  gApp.CodeBuffer[0] = 0x12;
  const std::string typed = (dir / "out.hex").string();
  ui.saveDialogShown = [&](QFileDialog& d) {
    d.setOption(QFileDialog::DontUseNativeDialog);
    ASSERT_EQ(d.nameFilters().size(), 3);
    d.selectNameFilter(d.nameFilters()[1]);
    d.selectFile(QString::fromStdString(typed));
    QTimer::singleShot(0, &d, &QDialog::accept);
  };
  MainForm->actions.at("Save1")->trigger();
  std::ifstream in(typed, std::ios::binary);
  std::string first;
  std::getline(in, first);
  EXPECT_EQ(first.substr(0, 1), ":") << first;
  EXPECT_EQ(first.substr(3, 6), "000000") << first;  // address 0, a data record
  EXPECT_FALSE(fs::exists(dir / "out.HEX"));
  EXPECT_FALSE(fs::exists(dir / "out.BIN"));
  EXPECT_EQ(gApp.DataFileName, typed);
}

}  // namespace main_flow_test
}  // namespace zelvar
