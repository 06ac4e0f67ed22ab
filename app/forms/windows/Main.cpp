#include "app/forms/windows/Main.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTableWidget>
#include <QTextEdit>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "app/core/buffer/BufferTools.h"
#include "app/core/buffer/BufferView.h"
#include "app/core/describe/ChipUiModel.h"
#include "app/core/runner/OperationRunner.h"
#include "app/core/startup/RecentList.h"
#include "app/core/startup/Startup.h"
#include "app/forms/widgets/ConfigGrid.h"
#include "app/forms/widgets/HexView.h"
#include "link/LinkState.h"
#include "services/AppState.h"
#include "services/Messages.h"
#include "services/Services.h"
#include "skin/Suibutton.h"
#include "skin/Suiform.h"
#include "skin/Suiimagepanel.h"
#include "skin/Suimainmenu.h"
#include "skin/Suipagecontrol.h"
#include "skin/Suipopupmenu.h"
#include "skin/Suiradiogroup.h"
#include "skin/Suistatusbar.h"
#include "skin/Suitoolbar.h"

namespace zelvar {

TMainForm* MainForm = nullptr;

namespace {

QString Q(const std::string& s) {
  return QString::fromStdString(s);
}

struct ToolButtonIcon {
  const char* name;
  QStyle::StandardPixmap icon;
};

constexpr const char* kSimulatedMark = "SIMULATED programmer*模拟编程器";

constexpr ToolButtonIcon kToolButtons[] = {
    {"suiImageButtonLoad", QStyle::SP_DialogOpenButton},
    {"suiImageButtonSave", QStyle::SP_DialogSaveButton},
    {"suiImageButtonSelType", QStyle::SP_FileDialogDetailedView},
    {"suiImageButtonErase", QStyle::SP_TrashIcon},
    {"suiImageButtonBlank", QStyle::SP_FileIcon},
    {"suiImageButtonWrite", QStyle::SP_ArrowDown},
    {"suiImageButtonVerify", QStyle::SP_DialogApplyButton},
    {"suiImageButtonConfig", QStyle::SP_FileDialogListView},
    {"suiImageButtonProtect", QStyle::SP_MessageBoxWarning},
    {"suiImageButtonRead", QStyle::SP_ArrowUp},
    {"suiImageButtonID", QStyle::SP_MessageBoxInformation},
    {"suiImageButtonReadCfg", QStyle::SP_FileDialogContentsView},
    {"suiImageButtonLang", QStyle::SP_BrowserReload},
};

// The chip operation behind each operation tool button and Run menu item.
struct OperationItem {
  const char* button;
  const char* menuItem;
  const char* caption;
  ChipOperation op;
};

constexpr OperationItem kOperations[] = {
    {"suiImageButtonErase", "Erase1", "Erase", ChipOperation::Erase},
    {"suiImageButtonBlank", "Blank1", "Blank", ChipOperation::Blank},
    {"suiImageButtonWrite", "Programe1", "Programe", ChipOperation::Write},
    {"suiImageButtonVerify", "Verify1", "Verify", ChipOperation::Verify},
    {"suiImageButtonConfig", "Config1", "Config", ChipOperation::Config},
    {"suiImageButtonProtect", "Protect1", "Protect", ChipOperation::Protect},
    {"suiImageButtonRead", "Read1", "Read", ChipOperation::Read},
    {"suiImageButtonID", "ReadchipID1", "Read chip ID", ChipOperation::ReadId},
    {"suiImageButtonReadCfg", "Readchipconfig1", "Read chip config", ChipOperation::ReadConfig},
};

}  // namespace

TMainForm::TMainForm(QWidget* owner, MainSeams seams)
    : QMainWindow(owner), seams_(std::move(seams)) {
  MainForm = this;
  setObjectName("MainForm");
  SetCaption(kMainCaption);

  // The skinned main menu: the frame shows it as its menu bar below the title bar.
  suiMainMenu1 = new TsuiMainMenu(this);
  suiMainMenu1->setObjectName("suiMainMenu1");
  setMenuBar(suiMainMenu1);
  BuildMenus();
  BuildToolBar();

  // The frame fills the window and holds the other controls.
  suiForm1 = new TsuiForm(this);
  suiForm1->setObjectName("suiForm1");
  suiForm1->SetMenu(suiMainMenu1);
  suiForm1->SetMenuBarHeight(21);
  auto* central = suiForm1;
  auto* outer = new QVBoxLayout(central);
  outer->setContentsMargins(2, 2, 2, 2);
  auto* upper = new QHBoxLayout;
  upper->addWidget(BuildOperationPanel());
  suiPageControl1 = new TsuiPageControl(central);
  suiPageControl1->setObjectName("suiPageControl1");
  suiTabSheet1 = new TsuiTabSheet(suiPageControl1);
  suiTabSheet2 = new TsuiTabSheet(suiPageControl1);
  BuildBufferPage();
  BuildConfigPage();
  suiPageControl1->SetActivePage(suiTabSheet1);
  upper->addWidget(suiPageControl1, 1);
  RichEdit2 = new QTextEdit(central);
  RichEdit2->setObjectName("RichEdit2");
  RichEdit2->setReadOnly(true);
  auto* split = new QSplitter(Qt::Vertical, central);
  auto* upperHolder = new QWidget(split);
  upperHolder->setLayout(upper);
  upper->setContentsMargins(0, 0, 0, 0);
  split->addWidget(upperHolder);
  split->addWidget(RichEdit2);
  split->setStretchFactor(0, 3);
  split->setStretchFactor(1, 1);
  outer->addWidget(split);
  setStatusBar(new TsuiStatusBar(this));
  statusBar()->setObjectName("suiStatusBar1");
  StatusLine = new QLabel(statusBar());
  StatusLine->setObjectName("StatusLine");
  statusBar()->addWidget(StatusLine, 1);
  SimulatedLabel = new QLabel(statusBar());
  SimulatedLabel->setObjectName("SimulatedLabel");
  SimulatedLabel->setStyleSheet("color: #c00000; font-weight: bold;");
  statusBar()->addPermanentWidget(SimulatedLabel);
  SimulatedLabel->hide();
  SetFormUIStyle(this, WinXP);

  StartupPorts ports;
  ports.applyLanguageTexts = [this] { ApplyLanguageTexts(); };
  ports.mainCaption = [this] { return Caption(); };
  ports.connectProgrammer = seams_.connectProgrammer;
  ports.showRecentNames = [this] { ShowRecentNames(); };
  ports.clearLog = [this] {
    resize(680, std::max(height(), 560));
    ClearLog();
  };
  ports.showBuffer = [this] { ShowBuffer(); };
  ports.applySelectAll = [this] { suiCheckBox1Click(); };
  ports.resetConfigTab = seams_.resetConfigTab;
  RunStartup(ports);
  RefreshSeams();
  ShowStatusLine();
}

QAction* TMainForm::AddAction(QMenu* menu, const char* name, const char* caption,
                              std::function<void()> handler) {
  auto* a = menu->addAction(caption);
  a->setObjectName(name);
  actions[name] = a;
  if (handler) connect(a, &QAction::triggered, this, [h = std::move(handler)] { h(); });
  return a;
}

void TMainForm::BuildMenus() {
  auto menu = [this](const char* name, const char* caption) {
    QMenu* m = menuBar()->addMenu(caption);
    m->setObjectName(name);
    menus[name] = m;
    return m;
  };
  auto seam = [this](std::function<void()> MainSeams::*member) {
    return [this, member] {
      if (seams_.*member) (seams_.*member)();
    };
  };
  auto needs = [this](const char* item, std::function<void()> MainSeams::*member) {
    needs_[item] = [this, member] { return static_cast<bool>(seams_.*member); };
  };

  QMenu* file = menu("File1", "File");
  AddAction(file, "Open1", "Open", seam(&MainSeams::openFile));
  AddAction(file, "LoadData1", "Load data buffer", seam(&MainSeams::loadData));
  QMenu* reopen = file->addMenu("Reopen");
  reopen->setObjectName("Reopen1");
  menus["Reopen1"] = reopen;
  for (int i = 0; i < 4; ++i) {
    const std::string name = "Nf" + std::to_string(i + 1);
    Nf[i] = AddAction(reopen, name.c_str(), "", [this, i] { NfClick(i); });
    needs_[name] = [this] { return static_cast<bool>(seams_.loadBufferFile); };
  }
  AddAction(file, "Save1", "Save", seam(&MainSeams::saveFile));
  AddAction(file, "OpenProject1", "Open project", [this] { OpenProject1Click(); });
  AddAction(file, "Saveprojectas1", "Save project as", [this] { Saveprojectas1Click(); });
  AddAction(file, "ClosePrj1", "Close project", [this] { ClosePrj1Click(); });
  AddAction(file, "Print1", "Print", seam(&MainSeams::print));
  file->addSeparator();
  AddAction(file, "exit1", "Exit", [this] { exit1Click(); });
  needs("Open1", &MainSeams::openFile);
  needs("LoadData1", &MainSeams::loadData);
  needs("Save1", &MainSeams::saveFile);
  needs("OpenProject1", &MainSeams::openProject);
  needs("Saveprojectas1", &MainSeams::saveProject);
  needs("Print1", &MainSeams::print);

  QMenu* edit = menu("EditBuf1", "EditBuf");
  AddAction(edit, "Search1", "Search", [this] { subSearch1Click(); });
  AddAction(edit, "Copy1", "Copy", [this] { subCopy1Click(); });
  AddAction(edit, "Fill1", "Fill", [this] { subFill1Click(); });
  AddAction(edit, "CheckSum1", "Check sum", [this] { subSum1Click(); });
  needs("Search1", &MainSeams::search);
  needs("Fill1", &MainSeams::fill);
  needs("CheckSum1", &MainSeams::checkSum);

  QMenu* run = menu("Option1", "Run");
  AddAction(run, "Selectechip1", "Selecte chip", seam(&MainSeams::selectChip));
  needs("Selectechip1", &MainSeams::selectChip);
  for (const OperationItem& item : kOperations) {
    const ChipOperation op = item.op;
    AddAction(run, item.menuItem, item.caption, [this, op] {
      if (seams_.chipOperation) seams_.chipOperation(op);
    });
    needs_[item.menuItem] = [this] { return static_cast<bool>(seams_.chipOperation); };
  }

  QMenu* display = menu("Display1", "Display");
  AddAction(display, "Filebuffer1", "Code buffer", [this] { DisplayCodeClick(); });
  AddAction(display, "EEdatabuffer1", "EE data buffer", [this] { DisplayEEClick(); });
  AddAction(display, "Configwindow1", "Config window", [this] { Configwindow1Click(); });
  AddAction(display, "devicemessage1", "device message", {});

  QMenu* tools = menu("Tools1", "Tools");
  AddAction(tools, "Set1", "Settings", [this] { Set1Click(); });
  AddAction(tools, "Programmermessage1", "Programmer message",
            [this] { Programmermessage1Click(); });
  AddAction(tools, "Selftest1", "Back-check programmer", [this] { Selftest1Click(); });
  AddAction(tools, "ICtester1", "IC tester", [this] { ICtester1Click(); });
  needs("Set1", &MainSeams::settings);
  needs("Selftest1", &MainSeams::selfTest);
  needs("ICtester1", &MainSeams::icTester);

  QMenu* help = menu("Help1", "Help");
  AddAction(help, "Manaul1", "Manaul", [this] { Manaul1Click(); });

  // The hex view's pop-up menu.
  PopupMenu1 = new TsuiPopupMenu(this);
  PopupMenu1->setObjectName("PopupMenu1");
  AddAction(PopupMenu1, "subSearch1", "Search", [this] { subSearch1Click(); });
  AddAction(PopupMenu1, "subCopy1", "Copy", [this] { subCopy1Click(); });
  AddAction(PopupMenu1, "subFill1", "Fill buffer", [this] { subFill1Click(); });
  AddAction(PopupMenu1, "subSum1", "Caculate sum", [this] { subSum1Click(); });
  AddAction(PopupMenu1, "ClearBuf", "清除缓冲区", [this] { ClearBufClick(); });
  AddAction(PopupMenu1, "DisplayCode", "Display code", [this] { DisplayCodeClick(); });
  AddAction(PopupMenu1, "DisplayEE", "Display data or EEPROM", [this] { DisplayEEClick(); });
  AddAction(PopupMenu1, "Display8", "8位显示", [this] { DisplayBitsClick(8); });
  AddAction(PopupMenu1, "Display16", "16位显示", [this] { DisplayBitsClick(16); });
  needs("subSearch1", &MainSeams::search);
  needs("subFill1", &MainSeams::fill);
  needs("subSum1", &MainSeams::checkSum);
}

void TMainForm::BuildToolBar() {
  suiToolBar1 = new TsuiToolBar("suiToolBar1", this);
  addToolBar(suiToolBar1);
  suiToolBar1->setObjectName("suiToolBar1");
  suiToolBar1->setMovable(false);
  suiToolBar1->setIconSize(QSize(28, 28));
  for (const ToolButtonIcon& item : kToolButtons) {
    auto* b = new TsuiImageButton(suiToolBar1);
    b->setObjectName(item.name);
    const QIcon icon = style()->standardIcon(item.icon);
    b->SetPicNormal(icon.pixmap(28, 28));
    b->SetPicDisabled(icon.pixmap(28, 28, QIcon::Disabled));
    suiToolBar1->addWidget(b);
    toolButtons[item.name] = b;
  }
  auto click = [this](const char* name, std::function<void()> f) {
    connect(toolButtons[name], &QPushButton::clicked, this, [f = std::move(f)] { f(); });
  };
  click("suiImageButtonLoad", [this] {
    if (seams_.openFile) seams_.openFile();
  });
  click("suiImageButtonSave", [this] {
    if (seams_.saveFile) seams_.saveFile();
  });
  click("suiImageButtonSelType", [this] {
    if (seams_.selectChip) seams_.selectChip();
  });
  needs_["suiImageButtonLoad"] = [this] { return static_cast<bool>(seams_.openFile); };
  needs_["suiImageButtonSave"] = [this] { return static_cast<bool>(seams_.saveFile); };
  needs_["suiImageButtonSelType"] = [this] { return static_cast<bool>(seams_.selectChip); };
  for (const OperationItem& item : kOperations) {
    const ChipOperation op = item.op;
    click(item.button, [this, op] {
      if (seams_.chipOperation) seams_.chipOperation(op);
    });
    needs_[item.button] = [this] { return static_cast<bool>(seams_.chipOperation); };
  }
  click("suiImageButtonLang", [this] { suiImageButtonLangClick(); });
}

QWidget* TMainForm::BuildOperationPanel() {
  auto* panel = new TsuiPanel;
  panel->setObjectName("PanelOperation");
  panel->SetAlign(alLeft);
  panel->setFixedWidth(120);
  auto* v = new QVBoxLayout(panel);
  ButtonGo = new TsuiButton(panel);
  ButtonGo->setObjectName("ButtonGo");
  ButtonGo->SetCaption2("Go");
  ButtonGo->setMinimumHeight(36);
  connect(ButtonGo, &QPushButton::clicked, this, [this] {
    if (seams_.go) seams_.go();
  });
  needs_["ButtonGo"] = [this] { return static_cast<bool>(seams_.go); };
  suiCheckGroup1 = new TsuiCheckGroup(panel);
  suiCheckGroup1->setObjectName("suiCheckGroup1");
  suiCheckGroup1->setMinimumHeight(150);
  suiCheckGroup1->SetItems({"Erase", "Blank", "Write", "Verify", "Config", "Lock"});
  suiCheckGroup1->OnClick = [this] {
    if (!mirroring_ && seams_.goTicksChanged) seams_.goTicksChanged();
  };
  suiCheckBox1 = new TsuiCheckBox(panel);
  suiCheckBox1->setObjectName("suiCheckBox1");
  suiCheckBox1->SetCaption("Clear/Select");
  suiCheckBox1->SetChecked(true);
  suiCheckBox1->OnClick = [this] { suiCheckBox1Click(); };
  suiButtonRun = new TsuiButton(panel);
  suiButtonRun->setObjectName("suiButtonRun");
  suiButtonRun->SetCaption2("Run");
  suiButtonRun->setEnabled(false);
  connect(suiButtonRun, &QPushButton::clicked, this, [this] {
    if (seams_.runContinuous) seams_.runContinuous();
  });
  v->addWidget(ButtonGo);
  v->addWidget(suiCheckGroup1);
  v->addWidget(suiCheckBox1);
  v->addStretch(1);
  v->addWidget(suiButtonRun);
  return panel;
}

void TMainForm::BuildBufferPage() {
  QWidget* page = suiTabSheet1;
  page->setObjectName("suiTabSheet1");
  auto* v = new QVBoxLayout(page);
  v->setContentsMargins(2, 2, 2, 2);
  auto* row = new QHBoxLayout;
  suiArrowButton1 = new TsuiArrowButton(page);
  suiArrowButton1->setObjectName("suiArrowButton1");
  suiArrowButton1->setFixedSize(22, 22);
  suiArrowButton1->SetArrow(suiDown);
  connect(suiArrowButton1, &QPushButton::clicked, this, [this] { suiArrowButton1Click(); });
  row->addStretch(1);
  row->addWidget(suiArrowButton1);
  RichEdit1 = new HexView(page);
  RichEdit1->setObjectName("RichEdit1");
  // The checksum lines under the dump are the code and data labels; a click shows their area.
  LabelCode = RichEdit1->codeLabel();
  LabelCode->setObjectName("LabelCode");
  LabelCode->setText("Code from:");
  LabelData = RichEdit1->dataLabel();
  LabelData->setObjectName("LabelData");
  LabelData->setText("Data from:");
  for (QLabel* l : {LabelCode, LabelData}) {
    l->setCursor(Qt::PointingHandCursor);
    l->installEventFilter(this);
  }
  QWidget* dump = RichEdit1->dump();
  // A whole 75-character row fits beside the operation panel in the 680-pixel window.
  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  font.setPointSize(8);
  dump->setFont(font);
  dump->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(dump, &QWidget::customContextMenuRequested, this,
          [this, dump](const QPoint& p) { PopupMenu1->popup(dump->mapToGlobal(p)); });
  v->addLayout(row);
  v->addWidget(RichEdit1, 1);
}

void TMainForm::BuildConfigPage() {
  QWidget* page = suiTabSheet2;
  page->setObjectName("suiTabSheet2");
  auto* v = new QVBoxLayout(page);
  TypeName = new QLabel("NoPart", page);
  TypeName->setObjectName("TypeName");
  Package = new QLabel("", page);
  Package->setObjectName("Package");
  v->addWidget(TypeName);
  v->addWidget(Package);
}

void TMainForm::HostConfigGrid(ConfigGrid* grid) {
  configGrid = grid;
  // A long fuse grid (the ATmega8's) scrolls in the tab rather than being cut off.
  configScroll = new QScrollArea(suiTabSheet2);
  configScroll->setObjectName("ConfigScroll");
  configScroll->setWidgetResizable(true);
  configScroll->setFrameShape(QFrame::NoFrame);
  configScroll->setWidget(grid);
  static_cast<QVBoxLayout*>(suiTabSheet2->layout())->addWidget(configScroll, 1);
  grid->show();
}

void TMainForm::FitConfigGrid() {
  if (!configGrid) return;
  // Panel3 opens tall enough for every row of both grids (its title strip and frame besides),
  // never lower than its usual height: the tab's scroll area shows what the window cannot.
  auto rowsHeight = [](const QTableWidget* t) {
    int h = 2 * t->frameWidth();
    for (int r = 0; r < t->rowCount(); ++r) h += t->rowHeight(r);
    return h;
  };
  const auto margins = [](const QWidget* w) {
    const QMargins m = w->contentsMargins();
    const QMargins l = w->layout() ? w->layout()->contentsMargins() : QMargins();
    return m.top() + m.bottom() + l.top() + l.bottom();
  };
  const int grid = rowsHeight(configGrid->StringGrid1) + margins(configGrid->Panel3);
  const int words = rowsHeight(configGrid->StringGridWord) + margins(configGrid->Panelw) +
                    configGrid->PanelwCaption->sizeHint().height() +
                    configGrid->Panelw->layout()->spacing();
  const int height = std::max({ConfigGrid::kPanel3Height, grid, words});
  configGrid->Panel3->SetHeight2(height);
  configGrid->Panelw->setFixedHeight(height);
}

void TMainForm::MirrorChipControls(const ChipUiModel& ui, const RunButtonStates& buttons) {
  if (configGrid) configGrid->Mirror();
  FitConfigGrid();
  mirroring_ = true;
  suiCheckGroup1->SetItems(ui.GoGroup.Items);
  for (int i = 0; i < ui.GoGroup.Count(); ++i)
    suiCheckGroup1->SetChecked(i, ui.GoGroup.GetChecked(i));
  mirroring_ = false;
  const bool operations = static_cast<bool>(seams_.chipOperation);
  for (std::size_t i = 0; i < std::size(kOperations); ++i) {
    const bool on = operations && ui.OperationEnabled[i];
    toolButtons.at(kOperations[i].button)->setEnabled(on);
    actions.at(kOperations[i].menuItem)->setEnabled(on);
  }
  const bool search = static_cast<bool>(seams_.search) && ui.SearchEnabled;
  for (const char* item : {"Search1", "subSearch1"}) actions.at(item)->setEnabled(search);
  ButtonGo->setEnabled(buttons.GoEnabled && static_cast<bool>(seams_.go));
  suiButtonRun->setEnabled(buttons.RunEnabled);
  suiButtonRun->setVisible(buttons.RunVisible);
}

void TMainForm::ShowChosenChip() {
  ShowChipLabels();
  SetCaption(gApp.MainCaption + "  " + gApp.ChipTitle);
}

void TMainForm::ShowChipLabels() {
  TypeName->setText(Q(gApp.ChipName));
  Package->setText(Q(gApp.AdapterLabel));
  ShowStatusLine();
  emit chipShown();
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonRelease) {
    if (watched == LabelCode) DisplayCodeClick();
    if (watched == LabelData) DisplayEEClick();
  }
  return QMainWindow::eventFilter(watched, event);
}

void TMainForm::RefreshSeams() {
  for (const auto& [name, installed] : needs_) {
    const bool on = installed();
    if (auto a = actions.find(name); a != actions.end()) a->second->setEnabled(on);
    if (auto b = toolButtons.find(name); b != toolButtons.end()) b->second->setEnabled(on);
    if (name == "ButtonGo") ButtonGo->setEnabled(on);
  }
}

void TMainForm::ApplyLanguageTexts() {
  zelvar::ApplyLanguageTexts([this](const std::string& control, const std::string& text) {
    const QString t = Q(text);
    if (auto b = toolButtons.find(control); b != toolButtons.end()) {
      b->second->setToolTip(t);
    } else if (auto m = menus.find(control); m != menus.end()) {
      m->second->setTitle(t);
    } else if (auto a = actions.find(control); a != actions.end()) {
      a->second->setText(t);
    } else if (control == "suiCheckBox1") {
      suiCheckBox1->SetCaption(text);
    } else if (control == "ButtonGo") {
      ButtonGo->SetCaption2(text);
    } else if (control == "suiButtonRun") {
      suiButtonRun->SetCaption2(text);
    } else if (control == "suiTabSheet1") {
      suiTabSheet1->SetCaption(text);
    } else if (control == "suiTabSheet2") {
      suiTabSheet2->SetCaption(text);
    }
  });
}

void TMainForm::AppendLog(int colour, const std::string& line) {
  services().AppendLog(colour, line, true);
}

void TMainForm::ClearLog() {
  RichEdit2->clear();
}

void TMainForm::ShowProgrammerLines() {
  AppendLog(kBlack, gLink.ProgrammerName);
  AppendLog(kBlack, gApp.MainCaption);
  AppendLog(kBlack, "USB driver ver " + std::to_string(gLink.DriverVersion));
}

void TMainForm::ShowRecentNames() {
  for (int i = 0; i < kRecentShown; ++i) Nf[i]->setText(Q(gApp.RecentNames[i]));
}

void TMainForm::SetCaption(const std::string& caption) {
  caption_ = caption;
  const std::string title = simulated_ ? caption + " - " + LocalText(kSimulatedMark) : caption;
  if (suiForm1 != nullptr) {
    suiForm1->SetCaption(title);
  } else {
    setWindowTitle(Q(title));
  }
}
std::string TMainForm::Caption() const {
  return caption_;
}

void TMainForm::SetSimulated(bool simulated) {
  simulated_ = simulated;
  SimulatedLabel->setText(Q(LocalText(kSimulatedMark)));
  SimulatedLabel->setVisible(simulated);
  SetCaption(caption_);
}

void TMainForm::ShowStatusLine() {
  SetStatusText(ChipStatusLine());
}

void TMainForm::SetStatusText(const std::string& text) {
  StatusLine->setText(Q(text));
}
std::string TMainForm::StatusText() const {
  return StatusLine->text().toStdString();
}

void TMainForm::ShowBuffer() {
  RichEdit1->ShowBuffer();
}

void TMainForm::DisplayCodeClick() {
  RichEdit1->DisplayCode();
}

void TMainForm::DisplayEEClick() {
  RichEdit1->DisplayEE();
}

void TMainForm::DisplayBitsClick(int bits) {
  gApp.InfoRecord[3] = bits;
  ShowBuffer();
}

void TMainForm::suiArrowButton1Click() {
  if (suiArrowButton1->Arrow() == suiDown) {
    DisplayEEClick();
    suiArrowButton1->SetArrow(suiUp);
  } else {
    DisplayCodeClick();
    suiArrowButton1->SetArrow(suiDown);
  }
}

void TMainForm::Configwindow1Click() {
  suiPageControl1->SetActivePage(suiTabSheet2);
}

void TMainForm::ClearBufClick() {
  ClearViewRange();
  RichEdit1->ShowRange();
}

void TMainForm::NfClick(int index) {
  if (seams_.loadBufferFile) seams_.loadBufferFile(gApp.RecentNames[index], false);
}

void TMainForm::Set1Click() {
  if (seams_.settings) seams_.settings();
}

namespace {

// The self-test and the IC tester need an FPGA model. Afterwards the programmer holds their
// bitstream, not the chip's: the chosen chip is set up again, or no bitstream is assumed.
void RunProgrammerTool(TMainForm& form, const std::function<void()>& tool, const char* refusal) {
  if (gLink.ModelNumber <= 411) {
    ShowMessageText(refusal);
    return;
  }
  if (!tool) return;
  tool();
  gApp.ProjectModified = 32;
  if (form.TypeName->text() != "NoPart" && form.seams().setupChosenChip) {
    form.seams().setupChosenChip();
  } else {
    gLink.LastBitstream = "no_part";
  }
}

}  // namespace

void TMainForm::Selftest1Click() {
  RunProgrammerTool(*this, seams_.selfTest,
                    "This modal not suport back-check!*这个型号的编程器没有自检功能！");
}

void TMainForm::ICtester1Click() {
  RunProgrammerTool(*this, seams_.icTester,
                    "This modal no suport IC testing!*这个型号的编程器没有IC测试功能!");
}

void TMainForm::Programmermessage1Click() {
  ClearLog();
  ShowProgrammerLines();
  QApplication::beep();
}

void TMainForm::Manaul1Click() {
  const std::string target = gApp.ProgramDir + "ZelvarManual.mht";
  if (!QDesktopServices::openUrl(QUrl::fromLocalFile(Q(target)))) {
    ShowMessageText("Can not open " + target + "*不能打开 " + target);
  }
}

void TMainForm::suiImageButtonLangClick() {
  // The log keeps its lines: they are the record of the work done.
  ChineseTexts += 1;
  ApplyLanguageTexts();
  SetSimulated(simulated_);
}

void TMainForm::subCopy1Click() {
  RichEdit1->dump()->copy();
}

void TMainForm::subSearch1Click() {
  if (seams_.search) seams_.search();
}

void TMainForm::subFill1Click() {
  if (!seams_.fill) return;
  seams_.fill();
  ShowBuffer();
}

void TMainForm::subSum1Click() {
  if (seams_.checkSum) seams_.checkSum();
}

void TMainForm::OpenProject1Click() {
  if (seams_.openProject) seams_.openProject();
}

void TMainForm::Saveprojectas1Click() {
  if (seams_.saveProject) seams_.saveProject();
}

void TMainForm::ClosePrj1Click() {
  // Save must no longer offer the project's data file.
  gApp.DataFileName.clear();
  gApp.ProjectFileName.clear();
  gApp.ProjectModified = 0;
  SetCaption("No project");
  suiButtonRun->setEnabled(false);
}

void TMainForm::Print1Click() {
  QPrinter printer;
  QPrintDialog dialog(&printer, this);
  if (dialog.exec() == QDialog::Accepted) PrintHexView(printer);
}

void TMainForm::PrintHexView(QPrinter& printer) {
  printer.setDocName("");
  RichEdit1->dump()->print(&printer);
}

void TMainForm::suiCheckBox1Click() {
  for (int i = 0; i < suiCheckGroup1->ItemCount(); ++i) {
    suiCheckGroup1->SetChecked(i, suiCheckBox1->Checked());
  }
}

void TMainForm::exit1Click() {
  // Ends at once: no form is closed and the recent list is not written.
  std::_Exit(1);
}

namespace {

// Eats the user's input while it is installed.
class InputDropper final : public QObject {
 protected:
  bool eventFilter(QObject*, QEvent* e) override {
    switch (e->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick:
      case QEvent::KeyPress:
      case QEvent::KeyRelease:
      case QEvent::Wheel:
      case QEvent::Shortcut:
      case QEvent::ShortcutOverride:
        return true;
      default:
        return false;
    }
  }
};

}  // namespace

void TMainForm::OperationEnded() {
  if (OperationsRunning > 0) return;
  // The desktop keeps user input (the close box too) back while an operation runs; delivered now,
  // it would act on a window the user no longer looked at.
  InputDropper dropper;
  qApp->installEventFilter(&dropper);
  dropping_ = true;
  QCoreApplication::processEvents();
  dropping_ = false;
  qApp->removeEventFilter(&dropper);
  if (closeRefused_) {
    closeRefused_ = false;
    ShowMessageText(
        "The chip operation was running: the program did not close.*器件操作进行中, "
        "程序没有退出。");
  }
}

void TMainForm::closeEvent(QCloseEvent* event) {
  if (OperationsRunning > 0 || dropping_) {
    closeRefused_ = true;
    event->ignore();
    return;
  }
  SaveRecentNames(gApp.RecentListPath, gApp.RecentNames);
  QMainWindow::closeEvent(event);
}

}  // namespace zelvar
