// Every skinned control in each of the five styles and in our skin files, one framed column each,
// and an MDI form with skinned children, a side channel and a pop-up notice.
//   skin_gallery [PNG]   with a file name, saves the gallery as a picture (and the MDI form as
//                        PNG with "-mdi" before its extension) and ends
#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <QVBoxLayout>
#include <memory>

#include "skin/Frmmsnpop.h"
#include "skin/Suibutton.h"
#include "skin/Suicombobox.h"
#include "skin/Suiedit.h"
#include "skin/Suiform.h"
#include "skin/Suigroupbox.h"
#include "skin/Suiimagepanel.h"
#include "skin/Suimainmenu.h"
#include "skin/Suimdiform.h"
#include "skin/Suimgr.h"
#include "skin/Suipagecontrol.h"
#include "skin/Suiprogressbar.h"
#include "skin/Suiradiogroup.h"
#include "skin/Suiscrollbar.h"
#include "skin/Suisidechannel.h"
#include "skin/Suistatusbar.h"
#include "skin/Suitoolbar.h"
#include "skin/Suitrackbar.h"
#include "tools/skin/gallery_data.h"

using namespace zelvar;

namespace {

constexpr struct {
  TsuiUIStyle style;
  const char* name;
} kStyles[] = {
    {MacOS, "MacOS"},     {WinXP, "WinXP"},         {DeepBlue, "DeepBlue"},
    {Protein, "Protein"}, {BlueGlass, "BlueGlass"},
};

// One column: a frame in `style`, with its title bar and a menu bar, holding one of each control.
// `skin` names a skin file to show instead of a built-in style.
QWidget* Column(TsuiUIStyle style, const char* name, const char* skin = nullptr) {
  auto* holder = new QWidget;
  TsuiFileTheme* theme = nullptr;
  if (skin != nullptr) {
    theme = new TsuiFileTheme(holder);
    theme->SetThemeFile(skin);
  }
  auto* frame = new TsuiForm(holder);
  frame->SetCaption(std::string(name) + " window");
  auto* menu = new TsuiMainMenu(holder);
  QMenu* file = menu->addMenu("File");
  file->addAction("Open")->setShortcut(QKeySequence("Ctrl+O"));
  file->addAction("Checked")->setCheckable(true);
  file->actions().last()->setChecked(true);
  file->addSeparator();
  file->addAction("Disabled")->setEnabled(false);
  menu->addMenu("Edit");
  frame->SetMenu(menu);
  auto* v = new QVBoxLayout(frame);
  v->addWidget(new QLabel(name));
  auto* tools = new TsuiToolBar("tools");
  tools->addAction(QIcon(), "Open");
  tools->addAction(QIcon(), "Save")->setCheckable(true);
  tools->actions().last()->setChecked(true);
  v->addWidget(tools);
  auto* buttons = new QHBoxLayout;
  auto* go = new TsuiButton;
  go->SetCaption2("Go");
  go->setFixedSize(64, 27);
  auto* off = new TsuiButton;
  off->SetCaption2("Run");
  off->setFixedSize(64, 27);
  off->setEnabled(false);
  auto* arrow = new TsuiArrowButton;
  arrow->setFixedSize(22, 22);
  arrow->SetArrow(suiDown);
  buttons->addWidget(go);
  buttons->addWidget(off);
  buttons->addWidget(arrow);
  v->addLayout(buttons);
  auto* checks = new TsuiCheckGroup;
  checks->SetCaption("Check group");
  checks->SetItems({"Erase", "Blank", "Write", "Verify"});
  checks->SetColumns(2);
  checks->SetChecked(0, true);
  checks->SetChecked(2, true);
  checks->SetItemEnabled(3, false);
  checks->setFixedHeight(80);
  v->addWidget(checks);
  auto* radios = new TsuiRadioGroup;
  radios->SetCaption("Radio group");
  radios->SetItems({"Bin", "Hex", "Motorola"});
  radios->SetItemIndex(1);
  radios->setFixedHeight(90);
  v->addWidget(radios);
  auto* box = new TsuiCheckBox;
  box->SetCaption("Clear/Select");
  box->SetChecked(true);
  v->addWidget(box);
  auto* combo = new TsuiComboBox;
  for (const char* item : {"5V", "3.3V", "12.5V"}) combo->AddItem(item);
  combo->SetItemIndex(0);
  v->addWidget(combo);
  auto* progress = new TsuiProgressBar;
  progress->SetPosition(62);
  progress->setFixedHeight(16);
  v->addWidget(progress);
  auto* panel = new TsuiPanel;
  panel->SetCaption("Panel");
  v->addWidget(panel);
  panel->SetHeight2(60);
  auto* pages = new TsuiPageControl;
  for (const char* caption : {"Buffer", "Config", "Chip", "Options", "More"}) {
    auto* sheet = new TsuiTabSheet(pages);
    sheet->SetCaption(caption);
  }
  pages->SetActivePageIndex(0);
  pages->setFixedHeight(90);
  v->addWidget(pages);
  auto* edits = new QHBoxLayout;
  auto* edit = new TsuiEdit;
  edit->setText("Edit");
  auto* number = new TsuiNumberEdit;
  number->SetValue(12.5);
  auto* spin = new TsuiSpinEdit;
  spin->setFixedHeight(21);
  spin->SetValue(7);
  for (QWidget* w : std::initializer_list<QWidget*>{edit, number, spin}) edits->addWidget(w);
  v->addLayout(edits);
  auto* track = new TsuiTrackBar;
  track->SetPosition(4);
  v->addWidget(track);
  auto* scroll = new TsuiScrollBar;
  scroll->SetPageSize(30);
  scroll->SetPosition(40);
  scroll->setMinimumHeight(16);
  v->addWidget(scroll);
  auto* status = new TsuiStatusBar;
  status->showMessage("Status bar");
  v->addWidget(status);
  SetFormUIStyle(holder, style, theme);
  return holder;
}

// An MDI form in `style`: a menu with the window list, three children (one holding a side channel
// pinned open, one a skinned column of buttons), and Cascade and Tile in its Window menu.
QWidget* MdiForm(TsuiUIStyle style) {
  auto* form = new QWidget;
  form->setWindowTitle("Skinned MDI form");
  auto* menu = new QMenuBar(form);
  QMenu* file = menu->addMenu("File");
  file->addAction("Open");
  QMenu* window = menu->addMenu("Window");
  auto* mdi = new TsuiMDIForm(form);
  mdi->SetMenu(menu);
  mdi->SetWindowMenu(window);
  QObject::connect(window->addAction("Cascade"), &QAction::triggered, mdi,
                   [mdi] { mdi->Cascade(); });
  QObject::connect(window->addAction("Tile"), &QAction::triggered, mdi, [mdi] { mdi->Tile(); });

  auto* sideHolder = new QWidget;
  sideHolder->setWindowTitle("Side channel");
  auto* side = new TsuiSideChannel(sideHolder);
  side->SetCaption("Tools");
  side->SetWidth(150);
  auto* inside = new QVBoxLayout(side);
  for (const char* caption : {"Read", "Verify"}) {
    auto* b = new TsuiButton;
    b->SetCaption2(caption);
    b->setFixedSize(64, 27);
    inside->addWidget(b);
  }
  inside->addStretch();
  side->SetStayOn(true);

  // A child form with its own frame wears it in the MDI area.
  auto* buttons = new QWidget;
  buttons->setWindowTitle("Buttons");
  auto* v = new QVBoxLayout(new TsuiForm(buttons));
  for (const char* caption : {"Erase", "Blank", "Program"}) {
    auto* b = new TsuiButton;
    b->SetCaption2(caption);
    b->setFixedSize(80, 27);
    v->addWidget(b);
  }
  auto* log = new QWidget;
  log->setWindowTitle("Log");
  (new QVBoxLayout(new TsuiForm(log)))->addWidget(new QLabel("Log"));
  for (QWidget* child : std::initializer_list<QWidget*>{sideHolder, buttons, log})
    mdi->AddChild(child)->resize(260, 200);
  SetFormUIStyle(form, style);
  form->resize(700, 480);
  return form;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget window;
  window.setWindowTitle("Skinned controls");
  auto* grid = new QGridLayout(&window);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->setSpacing(0);
  int column = 0;
  for (const auto& s : kStyles) grid->addWidget(Column(s.style, s.name), 0, column++);
  // Our skin files, from the program directory.
  TsuiFileTheme::SetProgramDirectory(ZELVAR_PROGRAM_DIR);
  for (const char* skin : {"Slate.ssk", "Amber.ssk"})
    grid->addWidget(Column(FromThemeFile, skin, skin), 0, column++);
  window.resize(1540, 820);
  window.show();
  std::unique_ptr<QWidget> mdi(MdiForm(DeepBlue));
  mdi->show();
  QApplication::processEvents();  // the MDI area takes its size before the children are tiled
  auto* mdiFrame = mdi->findChild<TsuiMDIForm*>();
  mdiFrame->SetTileMode(TsuiTileMode::tbVertical);
  mdiFrame->Tile();
  TsuiMSNPopForm notice;
  notice.Title = "Zelvar";
  notice.MessageText = "The skinned look: a notice that slides up and away.";
  notice.StayTime = 5000;
  notice.Popup();
  // The data form beside it (saved as FILE-data.png).
  std::unique_ptr<QWidget> data(DataAwareDemo(WinXP));
  data->show();
  if (argc > 1) {
    const QString file = QString::fromLocal8Bit(argv[1]);
    QTimer::singleShot(200, [&window, &mdi, &app, file, &data] {
      window.grab().save(file);
      const int dot = file.lastIndexOf('.');
      mdi->grab().save(dot < 0 ? file + "-mdi" : file.left(dot) + "-mdi" + file.mid(dot));
      data->grab().save(dot < 0 ? file + "-data" : file.left(dot) + "-data" + file.mid(dot));
      app.quit();
    });
  }
  return app.exec();
}
