// Projects, settings and printing through the main window on the simulated 6200 with an AT27C256
// in its socket: a project saved with a serial stamp comes back from the recent list after Close
// project and a restart, Go advances the stamp without changing the project, a user's edit of the
// settings makes Run refuse it, and Print writes the hex view.
#include <gtest/gtest.h>

#include <QAction>
#include <QPrinter>
#include <filesystem>

#include "app/core/startup/RecentList.h"
#include "app/forms/dialogs/Setting.h"
#include "app/forms/widgets/HexView.h"
#include "app/forms/windows/Forms.h"
#include "services/AppState.h"
#include "sim/Programmer.h"
#include "sim/chips/Eprom.h"
#include "skin/Suibutton.h"
#include "support/MainWindowFixture.h"
#include "support/QtApp.h"

namespace zelvar {
namespace project_forms_test {

class ProjectFormsTest : public test::MainWindowFixture {
 protected:
  void SetUp() override {
    SimFixture::SetUp();
    StartWithChip("AT27C256");
  }

  // What a user types into an edit of the settings window.
  static void Type(QLineEdit* edit, const char* text) {
    edit->setText(text);
    emit edit->textEdited(text);
  }
};

TEST_F(ProjectFormsTest, SavedProjectComesBackFromTheRecentListAndRunsItsStamp) {
  ChooseChip("EPROM", "AT27C256");
  ASSERT_EQ(gApp.CodeLastAddress, 0x7FFF);
  for (int i = 0; i < 0x40; ++i) gApp.CodeBuffer[i] = static_cast<std::uint8_t>(0x30 + i);
  gApp.CodeBuffer[0x7FF0] = 0xA5;
  Type(Setting1->Edit1, "7ffe");
  Type(Setting1->Edit2, "05");
  Setting1->CheckBox1->Click();
  EXPECT_EQ(gApp.ProjectModified & 4, 4) << "the user's settings change the project";

  const std::string path = (dir / "job.zor").string();
  ASSERT_TRUE(SaveProjectAs(path));
  EXPECT_EQ(MainForm->Caption(), path);
  EXPECT_EQ(gApp.RecentNames[0], path);
  EXPECT_EQ(gApp.ProjectModified, 0);

  MainForm->actions.at("ClosePrj1")->trigger();
  EXPECT_EQ(MainForm->Caption(), "No project");
  EXPECT_EQ(gApp.ProjectFileName, "");

  RestartMainWindow();
  EXPECT_EQ(gApp.ChipName, "");
  EXPECT_EQ(Setting1->Edit2->text(), "00");
  ASSERT_EQ(MainForm->Nf[0]->text().toStdString(), path);
  MainForm->Nf[0]->trigger();
  EXPECT_EQ(gApp.ChipName, "AT27C256");
  EXPECT_EQ(MainForm->TypeName->text(), "AT27C256");
  EXPECT_EQ(MainForm->Caption(), path + "    [AT27C256]");
  EXPECT_EQ(gApp.ProjectFileName, path);
  EXPECT_EQ(gApp.CodeBuffer[0x3F], 0x6F);
  EXPECT_EQ(gApp.CodeBuffer[0x7FF0], 0xA5);
  EXPECT_EQ(Setting1->Edit1->text(), "7ffe");
  EXPECT_EQ(Setting1->Edit2->text(), "05");
  EXPECT_TRUE(Setting1->CheckBox1->Checked());
  EXPECT_EQ(gApp.ProjectModified, 0);
  EXPECT_TRUE(MainForm->suiButtonRun->isEnabled());

  // A pass stamps the next serial number for the next chip; the project stays unchanged.
  MainForm->ButtonGo->click();
  ASSERT_EQ(gLink.StatusWord, 0) << ::testing::PrintToString(fake.LogTexts());
  EXPECT_EQ(chip->cells[0x3F], 0x6F);
  EXPECT_EQ(Setting1->Edit2->text(), "6");
  EXPECT_EQ(gApp.CodeBuffer[0x7FFE], 0x00);
  EXPECT_EQ(gApp.CodeBuffer[0x7FFF], 0x06);
  EXPECT_EQ(gApp.ProjectModified, 0);

  // A user's edit does change it: Run refuses before any wait.
  Type(Setting1->Edit6, "2");
  fake.boxes.clear();
  MainForm->suiButtonRun->click();
  ASSERT_EQ(fake.boxes.size(), 1u);
  EXPECT_EQ(fake.boxes[0], "Setings modified!\nReopen project please.");
}

TEST_F(ProjectFormsTest, PrintWritesTheHexViewToAPdf) {
  gApp.CodeBuffer[0] = 0x12;
  MainForm->ShowBuffer();
  const auto pdf = dir / "view.pdf";
  QPrinter printer;
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString(pdf.string()));
  MainForm->PrintHexView(printer);
  ASSERT_TRUE(std::filesystem::exists(pdf));
  EXPECT_GT(std::filesystem::file_size(pdf), 1000u);
}

}  // namespace project_forms_test
}  // namespace zelvar
