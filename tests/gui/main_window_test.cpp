#include <gtest/gtest.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>
#include <filesystem>
#include <fstream>

#include "app/core/startup/ProgrammerStart.h"
#include "app/core/startup/RecentList.h"
#include "app/forms/widgets/HexView.h"
#include "app/forms/windows/Disptimer.h"
#include "app/forms/windows/Forms.h"
#include "app/forms/windows/GuiServices.h"
#include "app/forms/windows/Place.h"
#include "app/forms/windows/Placeisp.h"
#include "app/forms/windows/Showbadpinnum.h"
#include "services/AppState.h"
#include "skin/Suibutton.h"
#include "skin/Suiform.h"
#include "skin/Suiimagepanel.h"
#include "skin/Suimgr.h"
#include "skin/Suipagecontrol.h"
#include "skin/Suiradiogroup.h"
#include "skin/Suistatusbar.h"
#include "skin/Suititlebar.h"
#include "support/MainWindowFixture.h"
#include "support/QtApp.h"

namespace zelvar {
namespace main_window_test {

namespace fs = std::filesystem;

class MainWindowTest : public test::MainWindowFixture {
 protected:
  void SetUp() override {
    SimFixture::SetUp();
    recentNames = {"/work/a.hex", "/work/b.bin"};
    MainSeams seams;
    seams.resetConfigTab = [this] { ++configResets; };
    StartMainWindow(std::move(seams));
  }

  // The menu bar marks each title's accelerator letter with "&".
  QString MenuTitle(const char* name) { return MainForm->menus.at(name)->title().remove('&'); }
  QString ActionText(const char* name) { return MainForm->actions.at(name)->text(); }
  QString TabText(TsuiTabSheet* page) {
    return MainForm->suiPageControl1->tabText(page->PageIndex());
  }

  int configResets = 0;
};

TEST_F(MainWindowTest, StartsOnTheSimulatedProgrammer) {
  EXPECT_EQ(gLink.ModelNumber, 6200);
  EXPECT_STREQ(gLink.ProgrammerName, "zor6200");
  EXPECT_TRUE(fake.log.empty()) << "the connection's lines are dropped before the progress window";
  EXPECT_EQ(MainForm->width(), 680);
  EXPECT_EQ(gApp.MainCaption, "Zelvar Ver 5.40");
  EXPECT_EQ(gApp.CodeLastAddress, 4096);
  EXPECT_EQ(configResets, 1);
  EXPECT_EQ(gApp.ProgramDir, fs::current_path().string() + "/");
  EXPECT_EQ(MainForm->Nf[0]->text(), "/work/a.hex");
  EXPECT_EQ(MainForm->Nf[2]->text(), "");
  EXPECT_EQ(MainForm->TypeName->text(), "NoPart");
  EXPECT_FALSE(MainForm->suiButtonRun->isEnabled());
  ASSERT_EQ(MainForm->suiCheckGroup1->ItemCount(), 6);
  for (int i = 0; i < 6; ++i) EXPECT_TRUE(MainForm->suiCheckGroup1->GetChecked(i)) << i;
  EXPECT_EQ(MainForm->suiPageControl1->ActivePage(), MainForm->suiTabSheet1);
  MainForm->Configwindow1Click();
  EXPECT_EQ(MainForm->suiPageControl1->ActivePage(), MainForm->suiTabSheet2);
  EXPECT_EQ(MainForm->StatusText(), "  Counter:0");

  MainForm->ShowProgrammerLines();
  EXPECT_EQ(fake.LogTexts(),
            (std::vector<std::string>{"zor6200", "Zelvar Ver 5.40",
                                      "USB driver ver " + std::to_string(gLink.DriverVersion)}));
}

TEST_F(MainWindowTest, LanguageButtonTogglesTheCaptions) {
  ASSERT_EQ(ChineseTexts, 0);
  EXPECT_EQ(MenuTitle("File1"), "File");
  EXPECT_EQ(ActionText("Open1"), "Open");
  EXPECT_EQ(ActionText("Display16"), "Bin 16 bites");
  EXPECT_EQ(MainForm->ButtonGo->text(), "Go");
  EXPECT_EQ(MainForm->suiCheckBox1->Caption(), "Clear/Select");
  EXPECT_EQ(MainForm->toolButtons.at("suiImageButtonLang")->toolTip(), "Change language");
  EXPECT_EQ(TabText(MainForm->suiTabSheet1), " Buffer  ");

  MainForm->RichEdit2->setPlainText("a line");
  MainForm->toolButtons.at("suiImageButtonLang")->click();
  EXPECT_EQ(ChineseTexts, 1);
  EXPECT_EQ(MenuTitle("File1"), QString::fromUtf8("文件"));
  EXPECT_EQ(ActionText("Open1"), QString::fromUtf8("打开文件"));
  EXPECT_EQ(MainForm->ButtonGo->text(), QString::fromUtf8("开始"));
  EXPECT_EQ(MainForm->suiButtonRun->text(), QString::fromUtf8("连续"));
  EXPECT_EQ(TabText(MainForm->suiTabSheet2), QString::fromUtf8(" 器件配置 "));
  EXPECT_EQ(MainForm->RichEdit2->toPlainText(), "a line") << "the log is kept";

  MainForm->suiImageButtonLangClick();
  EXPECT_EQ(ChineseTexts, 0);
  EXPECT_EQ(MenuTitle("File1"), "File");
  EXPECT_EQ(MainForm->ButtonGo->text(), "Go");
}

// No user may take a simulated pass for a programmed chip: caption and status bar say it, in the
// current language, whatever caption the window is given.
TEST_F(MainWindowTest, TheSimulatedProgrammerShowsInCaptionAndStatusBar) {
  EXPECT_FALSE(MainForm->SimulatedLabel->isVisibleTo(MainForm));
  EXPECT_EQ(MainForm->windowTitle(), "Zelvar Ver 5.40");
  MainForm->SetSimulated(true);
  EXPECT_EQ(MainForm->windowTitle(), "Zelvar Ver 5.40 - SIMULATED programmer");
  EXPECT_EQ(MainForm->Caption(), "Zelvar Ver 5.40");
  EXPECT_TRUE(MainForm->SimulatedLabel->isVisibleTo(MainForm));
  EXPECT_EQ(MainForm->SimulatedLabel->text(), "SIMULATED programmer");
  // Two fold-up panels: the operation panel on the left and the config panel.
  EXPECT_EQ(MainForm->findChildren<TsuiPanel*>().size(), 2);
  // The whole text stands left of the status bar's grip.
  auto* bar = static_cast<TsuiStatusBar*>(MainForm->statusBar());
  MainForm->show();
  bar->layout()->activate();
  ASSERT_FALSE(bar->GripRect().isNull());
  EXPECT_LT(MainForm->SimulatedLabel->geometry().right(), bar->GripRect().left());
  EXPECT_GE(MainForm->SimulatedLabel->width(), MainForm->SimulatedLabel->sizeHint().width());
  MainForm->suiImageButtonLangClick();
  MainForm->SetCaption("/work/a.hex");
  EXPECT_EQ(MainForm->windowTitle(), QString::fromUtf8("/work/a.hex - 模拟编程器"));
  // The skinned title bar shows what the window title says.
  EXPECT_EQ(MainForm->suiForm1->GetCaption(), MainForm->windowTitle().toStdString());
  EXPECT_EQ(MainForm->SimulatedLabel->text(), QString::fromUtf8("模拟编程器"));
  MainForm->suiImageButtonLangClick();
}

TEST_F(MainWindowTest, ItemsWithoutTheirPieceStayDisabled) {
  for (const char* item : {"Open1", "Selectechip1", "Search1", "Fill1", "Nf1", "ClosePrj1", "Set1",
                           "Print1", "OpenProject1", "Saveprojectas1", "Selftest1", "ICtester1"}) {
    EXPECT_TRUE(MainForm->actions.at(item)->isEnabled()) << item;
  }
  // An item whose piece is missing stays disabled.
  MainForm->seams().icTester = nullptr;
  MainForm->RefreshSeams();
  EXPECT_FALSE(MainForm->actions.at("ICtester1")->isEnabled());
  EXPECT_TRUE(MainForm->toolButtons.at("suiImageButtonErase")->isEnabled());
  EXPECT_TRUE(MainForm->toolButtons.at("suiImageButtonLang")->isEnabled());

  std::vector<ChipOperation> ran;
  MainForm->seams().chipOperation = [&](ChipOperation op) { ran.push_back(op); };
  MainForm->RefreshSeams();
  ASSERT_TRUE(MainForm->toolButtons.at("suiImageButtonErase")->isEnabled());
  MainForm->toolButtons.at("suiImageButtonErase")->click();
  MainForm->actions.at("ReadchipID1")->trigger();
  EXPECT_EQ(ran, (std::vector<ChipOperation>{ChipOperation::Erase, ChipOperation::ReadId}));
}

TEST_F(MainWindowTest, BufferViewsAndClear) {
  auto firstLine = [] {
    return MainForm->RichEdit1->dump()->document()->firstBlock().text().toStdString();
  };
  // No data area: the message, and the view stays.
  gApp.ViewRange = {0, 100};
  MainForm->DisplayEEClick();
  EXPECT_EQ(fake.boxes, std::vector<std::string>{"This chip has not data segment! "});
  EXPECT_EQ(gApp.ViewRange.start, 0);
  EXPECT_EQ(gApp.ViewRange.end, 100);

  gApp.InfoRecord[1] = 0x2000;
  gApp.InfoRecord[2] = 0x100;
  MainForm->suiArrowButton1Click();
  EXPECT_EQ(gApp.ViewRange.start, 0x2000);
  EXPECT_EQ(gApp.ViewRange.end, 0x2100);
  EXPECT_EQ(firstLine().substr(0, 8), "  2000: ");
  EXPECT_EQ(MainForm->suiArrowButton1->Arrow(), suiUp);
  MainForm->suiArrowButton1Click();
  EXPECT_EQ(gApp.ViewRange.start, 0);
  EXPECT_EQ(gApp.ViewRange.end, 4096);
  EXPECT_EQ(firstLine().substr(0, 8), "  0000: ");

  // Clearing stops before the view's end.
  gApp.ViewRange = {0x10, 0x20};
  gApp.CodeBuffer[0x0F] = gApp.CodeBuffer[0x10] = gApp.CodeBuffer[0x1F] = gApp.CodeBuffer[0x20] = 1;
  MainForm->ClearBufClick();
  EXPECT_EQ(gApp.CodeBuffer[0x0F], 1);
  EXPECT_EQ(gApp.CodeBuffer[0x10], 0xFF);
  EXPECT_EQ(gApp.CodeBuffer[0x1F], 0xFF);
  EXPECT_EQ(gApp.CodeBuffer[0x20], 1);
  // The view shows the range it cleared, not code page 0.
  gApp.ViewRange = {0x3000, 0x3100};
  MainForm->ClearBufClick();
  EXPECT_EQ(firstLine().substr(0, 8), "  3000: ") << firstLine();

  // The 16-bit view draws words; the 8-bit one bytes again.
  gApp.CodeBuffer[0] = 0x34;
  gApp.CodeBuffer[1] = 0x12;
  MainForm->actions.at("Display16")->trigger();
  EXPECT_NE(firstLine().find("1234"), std::string::npos) << firstLine();
  MainForm->actions.at("Display8")->trigger();
  EXPECT_NE(firstLine().find("34 12"), std::string::npos) << firstLine();
}

TEST_F(MainWindowTest, ClosingWritesTheRecentListAndCloseProjectResets) {
  gApp.RecentNames[0] = "/new/first.hex";
  gApp.ProjectFileName = "x.zor";
  gApp.ProjectModified = 3;
  gApp.DataFileName = "/d/image.hex";
  MainForm->suiButtonRun->setEnabled(true);
  MainForm->ClosePrj1Click();
  EXPECT_EQ(MainForm->Caption(), "No project");
  EXPECT_EQ(gApp.ProjectFileName, "");
  EXPECT_EQ(gApp.DataFileName, "") << "Save no longer offers the project's data file";
  EXPECT_EQ(gApp.ProjectModified, 0);
  EXPECT_FALSE(MainForm->suiButtonRun->isEnabled());

  MainForm->close();
  RecentList back;
  ASSERT_TRUE(LoadRecentNames(kRecentListName, back));
  EXPECT_EQ(back[0], "/new/first.hex");
  EXPECT_EQ(back[1], "/work/b.bin");
}

TEST_F(MainWindowTest, ExitEndsAtOnceWithoutWritingTheList) {
  gApp.RecentNames[0] = "/never/written.hex";
  EXPECT_EXIT(MainForm->exit1Click(), ::testing::ExitedWithCode(1), "");
  RecentList back;
  ASSERT_TRUE(LoadRecentNames(kRecentListName, back));
  EXPECT_EQ(back[0], "/work/a.hex");
}

TEST_F(MainWindowTest, ToolsRefusedOnSmallModels) {
  gLink.ModelNumber = 411;
  MainForm->Selftest1Click();
  MainForm->ICtester1Click();
  ASSERT_EQ(fake.boxes.size(), 2u);
  EXPECT_EQ(fake.boxes[0], "This modal not suport back-check!");
  EXPECT_EQ(fake.boxes[1], "This modal no suport IC testing!");

  gLink.ModelNumber = 6200;
  gLink.LastBitstream = "chip.bit";
  MainForm->seams().selfTest = [] {};
  MainForm->Selftest1Click();
  EXPECT_EQ(gApp.ProjectModified, 32);
  EXPECT_EQ(gLink.LastBitstream, "no_part") << "no chip chosen: nothing to set up again";
}

TEST_F(MainWindowTest, SmallWindowsAnswerAndTurn) {
  DrawBadPins(ShowBadPin, {3, 40});
  EXPECT_EQ(ShowBadPin->Button3->text(), "Again");
  EXPECT_FALSE(ShowBadPin->Image1->pixmap().isNull());
  ShowBadPin->Button3->click();
  EXPECT_EQ(ShowBadPin->BadPinAnswer, 3);
  ShowBadPin->Button2->click();
  EXPECT_EQ(ShowBadPin->BadPinAnswer, 2);
  ShowBadPin->Button1->click();
  EXPECT_EQ(ShowBadPin->BadPinAnswer, 0);

  ChineseTexts = 1;
  DrawIspPinPicture(PlaceIsp1, {"1----SCL(6)", "end"});
  EXPECT_EQ(PlaceIsp1->windowTitle(), QString::fromUtf8("在线编程针脚定义 "));

  ShowBusy("Loading");
  EXPECT_EQ(DispTimer1->suiForm1->GetCaption(), "Loading")
      << "the caption is the busy window's title";
  const QImage before = DispTimer1->Picture();
  for (int step = 0; step < 4; ++step) StepBusy(step);
  EXPECT_EQ(DispTimer1->Picture(), before) << "four quarter turns make a whole one";
  StepBusy(4);
  EXPECT_NE(DispTimer1->Picture(), before);
  CloseBusy();
  EXPECT_FALSE(DispTimer1->isVisible());
}

TEST_F(MainWindowTest, ServicesReachTheSmallWindows) {
  GuiServices gui;
  InstallWindowHooks(gui);
  gui.ShowBusy("Loading bitstream");
  EXPECT_TRUE(DispTimer1->isVisible());
  gui.StepBusy(0);
  gui.HideBusy();
  EXPECT_FALSE(DispTimer1->isVisible());

  // The modal windows are answered as soon as they are up.
  QTimer::singleShot(0, [] { ShowBadPin->Button2->click(); });
  EXPECT_EQ(gui.AskBadPins({3, 40}, 48), BadPinAnswer::Ignore);
  QTimer::singleShot(0, [] { ShowBadPin->Button3->click(); });
  EXPECT_EQ(gui.AskBadPins({3}, 48), BadPinAnswer::Again);

  auto request = [](std::string file, int firstRow) {
    PlacementRequest r;
    r.file = std::move(file);
    r.pins = 8;
    r.firstRow = firstRow;
    return r;
  };
  QTimer::singleShot(0, [] { Place1->accept(); });
  gui.ShowPlacement(request("", 11));
  QTimer::singleShot(0, [] { Place1->accept(); });
  gui.ShowPlacement(request("no-such.bmp", 0));
  EXPECT_EQ(fake.boxes, std::vector<std::string>{"Can't open this file! "});
  QTimer::singleShot(0, [] { Place1->accept(); });
  gui.ShowPlacement(request("qfp44.bmp", 0));
  EXPECT_EQ(fake.boxes.size(), 1u) << "the picture file is found under Place/";

  QTimer::singleShot(0, [] { PlaceIsp1->accept(); });
  gui.ShowIspWiring("1----SCL(6)\n9----SDA(5)\nend");
  EXPECT_FALSE(PlaceIsp1->Image2->pixmap().isNull());
}

// One of our skin files, given to the whole window, reskins its controls; when the theme goes
// they draw in DeepBlue again.
TEST_F(MainWindowTest, OurSkinFileReskinsTheWindow) {
  auto* theme = new TsuiFileTheme(MainForm);
  theme->SetThemeFile("Slate.ssk");
  ASSERT_TRUE(theme->CanUse());
  SetFormUIStyle(MainForm, FromThemeFile, theme);
  EXPECT_EQ(MainForm->suiForm1->Color(), theme->GetQColor(SKIN2_FORMCOLOR));
  EXPECT_EQ(MainForm->suiCheckGroup1->BorderColor(), theme->GetQColor(SKIN2_CONTROLBORDERCOLOR));
  EXPECT_EQ(MainForm->suiCheckGroup1->FontColor(), theme->GetQColor(SKIN2_CONTROLFONTCOLOR));
  EXPECT_EQ(MainForm->suiPageControl1->Color(), theme->GetQColor(SKIN2_FORMCOLOR));
  EXPECT_EQ(MainForm->suiForm1->TitleBar()->palette().color(QPalette::WindowText),
            theme->GetQColor(SKIN2_TITLEFONTCOLOR));
  EXPECT_EQ(MainForm->palette().window().color(), theme->GetQColor(SKIN2_FORMCOLOR));
  QImage shot(MainForm->size(), QImage::Format_RGB32);
  MainForm->render(&shot);
  delete theme;
  EXPECT_EQ(MainForm->suiForm1->Color(), GetInsideThemeQColor(DeepBlue, INSIDE_FORMCOLOR));
  EXPECT_EQ(MainForm->suiCheckGroup1->BorderColor(),
            GetInsideThemeQColor(DeepBlue, INSIDE_CONTROLBORDERCOLOR));
}

}  // namespace main_window_test
}  // namespace zelvar
