#include "services/Messages.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "services/AppState.h"
#include "services/Services.h"

namespace zelvar {

int ChineseTexts = 0;

bool ChineseMode() {
  return (ChineseTexts & 1) != 0;
}

const std::array<const char*, 23> TranslationTable = {
    "Blank,检查空",
    "Erase,擦除",
    "Write code,写程序代码",
    "Verify,校对",
    "Protect,写保护",
    "Unprotect,解除保护",
    "Security,加密保护",
    "Secu,加密保护",
    "Lock,加锁",
    "Config,写配置",
    "WtConfig,写配置",
    "WriteConfig,写配置",
    "WrFuse,写融丝配置",
    "WrData,写数据",
    "Read,读",
    "Protect,加保护",
    "Unprotect,解除保护",
    "Complete,完成",
    "RdCalibrate,读振荡校准",
    "WriteCfg,写配置",
    "EraseIsp,擦除配置",
    "WriteStatus,写保护配置",
    "$End",
};

namespace {

// The Chinese word of the first table entry that contains `text`, or `text` itself.
std::string Translate(std::string_view text) {
  // An empty text is contained in every entry; it stays empty rather than turning into the
  // first entry's word.
  if (text.empty()) return {};
  const std::size_t limit = std::min(kTranslationTableSize, TranslationTable.size());
  for (std::size_t i = 0; i < limit; ++i) {
    const std::string_view entry = TranslationTable[i];
    if (entry.starts_with('$')) break;
    if (entry.find(text) == std::string_view::npos) continue;
    const auto comma = entry.find(',');
    return std::string(comma == std::string_view::npos ? entry : entry.substr(comma + 1));
  }
  return std::string(text);
}

struct OperationTitles {
  const char* english;
  const char* chinese;
};

constexpr int kFirstTitledOperation = 20;
constexpr std::array<OperationTitles, 15> kOperationTitles = {{
    {"UnProtect ", "解除保护"},
    {"Erase...", "擦除..."},
    {"Blank...", "检查空..."},
    {"Write...", "写..."},
    {"Verify...", "校对..."},
    {"Config...", "写配置..."},
    {"Lock...", "保护..."},
    {"Read...", "读..."},
    {"Read ID...", "读厂家码..."},
    {"Read config...", "读配置..."},
    {"Read Calibrate...", "读振荡校准..."},
    {"Read Data...", "读数据..."},
    {"Write data...", "写数据..."},
    {"Erase config...", "擦除配置..."},
    {"User Info", "写用户信息"},
}};

}  // namespace

std::string LocalText(std::string_view text) {
  const auto star = text.find('*');
  if (star != std::string_view::npos) {
    return std::string(ChineseMode() ? text.substr(star + 1) : text.substr(0, star));
  }
  if (!ChineseMode()) return std::string(text);
  return Translate(text);
}

std::string StripNote(std::string_view text) {
  if (ChineseMode()) return std::string(text);
  return std::string(text.substr(0, text.find('(')));
}

void AddMessageLine(std::string_view text) {
  if (!services().ProgressWindowExists()) return;
  services().AppendLog(kBlack, LocalText(text), true);
}

void AddColouredLine(int colour, std::string_view text) {
  if (!services().ProgressWindowExists()) return;
  services().AppendLog(colour, LocalText(text), false);
}

void ShowMessageText(std::string_view text) {
  services().MessageBox(LocalText(text));
}

bool AskYesNo(std::string_view text) {
  return services().AskYesNo(LocalText(text));
}

std::string OperationTitle(int operationCode) {
  const int i = operationCode - kFirstTitledOperation;
  if (i < 0 || i >= static_cast<int>(kOperationTitles.size())) return {};
  return ChineseMode() ? kOperationTitles[i].chinese : kOperationTitles[i].english;
}

WindowPos CentredOn(int mainLeft, int mainTop, int mainWidth, int mainHeight, int width,
                    int height) {
  return {mainLeft + mainWidth / 2 - width / 2, mainTop + mainHeight / 2 - height / 2};
}

void ShowProgress(int position) {
  Services& s = services();
  s.CentreProgressWindow();
  const int last = gApp.CodeLastAddress;
  if (position == 0) {
    s.SetProgressMax(last);
    s.ShowProgressWindow();
  }
  if (position >= 0) {
    s.SetProgressPosition(position);
    if (position >= last) s.CloseProgressWindow();
    return;
  }
  // Finish: run the bar up in tenths so the user sees it complete, then close.
  const std::int64_t step = std::max(1, last / 10);
  for (std::int64_t p = s.ProgressPosition(); p < last; p += step) {
    s.SetProgressPosition(static_cast<int>(p));
    s.Sleep(5);
  }
  s.SetProgressPosition(last);
  s.Sleep(100);
  s.CloseProgressWindow();
}

void ShowOperationName(int operationCode) {
  services().SetProgressCaption(OperationTitle(operationCode));
  ShowProgress(0);
}

std::string OperationResultLine(const std::string& caption, int status, std::uint32_t failAddress,
                                std::uint8_t failByte) {
  if (status == 0) return caption + (ChineseMode() ? "完成" : "Complete");
  char tail[96];
  std::snprintf(tail, sizeof tail,
                ChineseMode() ? "操作中断,出错地址:%05X:(%02X)" : "Error at:%05X:(%02X)",
                static_cast<unsigned>(failAddress), static_cast<unsigned>(failByte));
  return caption + tail;
}

void ShowOperationResult(int status, std::uint32_t failAddress, std::uint8_t failByte) {
  Services& s = services();
  const std::string line = OperationResultLine(s.ProgressCaption(), status, failAddress, failByte);
  s.AppendLog(status != 0 ? kRed : kBlack, line, true);
  s.Beep(status != 0 ? BeepKind::Error : BeepKind::Success);
}

const std::vector<std::pair<std::string, std::string>>& MainWindowTexts() {
  static const std::vector<std::pair<std::string, std::string>> texts = {
      {"suiCheckBox1", "Clear/Select*清除/全选"},
      {"ButtonGo", "Go*开始"},
      {"suiButtonRun", "Run*连续"},
      {"suiImageButtonLoad", "Load file to buffer*文件装载到缓冲区"},
      {"suiImageButtonSave", "Save buffer to a file*缓冲区保存到文件"},
      {"suiImageButtonSelType", "Select chip*选择芯片的型号"},
      {"suiImageButtonErase", "Erase chip*擦除器件"},
      {"suiImageButtonBlank", "Check blank chip*检查空器件"},
      {"suiImageButtonWrite", "Write Code to chip*写器件"},
      {"suiImageButtonVerify", "Compare chip with the file buffer*比较器件与缓冲区数据"},
      {"suiImageButtonProtect", "Lock chip*写保护器件，或加密"},
      {"suiImageButtonConfig", "Write config to chip*写配置到器件"},
      {"suiImageButtonRead", "Read chip to buffer*读器件中的内容到缓冲区"},
      {"suiImageButtonID", "Display MFA and type*显示器件的厂家和型号"},
      {"suiImageButtonReadCfg", "Read config from chip*读器件中的配置"},
      {"suiImageButtonLang", "Change language*转换语言"},
      {"File1", "File*文件"},
      {"EditBuf1", "Edit*编辑修改"},
      {"Option1", "Run*操作"},
      {"Display1", "Display*显示"},
      {"Tools1", "Tools*工具"},
      {"Help1", "Help*帮助"},
      {"Manaul1", "Manual*操作说明"},
      {"Open1", "Open*打开文件"},
      {"OpenProject1", "Open project*打开项目文件"},
      {"Reopen1", "Reopen*打开最近的文件"},
      {"LoadData1", "Load data*装载文件到数据缓冲区"},
      {"Save1", "Save buffer*保存缓冲区"},
      {"Saveprojectas1", "Save project*保存项目"},
      {"ClosePrj1", "Close project*关闭项目"},
      {"Print1", "Print buffer*打印缓冲区"},
      {"exit1", "Exit*退出"},
      {"Search1", "Search*查找"},
      {"Copy1", "Copy*拷贝"},
      {"Fill1", "Fill buffer*填充"},
      {"CheckSum1", "Check sum*检查和"},
      {"Selectechip1", "Select chip*选择器件"},
      {"Erase1", "Erase*擦除"},
      {"Blank1", "Blank*检查空"},
      {"Programe1", "Programe*写器件"},
      {"Verify1", "Verify*校对"},
      {"Config1", "Config*写配置"},
      {"Protect1", "Lock*加保护"},
      {"Read1", "Read*读器件"},
      {"ReadchipID1", "Display ID*显示厂家代码"},
      {"Readchipconfig1", "Read config*读配置"},
      {"Filebuffer1", "Code buffer*显示程序缓冲区"},
      {"EEdatabuffer1", "EE data buffer*显示数据缓冲区"},
      {"Configwindow1", "Set Config*配置"},
      {"devicemessage1", "Device*器件信息"},
      {"Set1", "Settings*设置"},
      {"Programmermessage1", "Programmer*编程器信息"},
      {"Selftest1", "Back-check programmer*编程器自检"},
      {"ICtester1", "IC tester*IC测试"},
      {"subSearch1", "Search*查找"},
      {"subCopy1", "Copy*拷贝"},
      {"subFill1", "Fill buffer*填充缓冲区"},
      {"subSum1", "Caculate sum*计算和"},
      {"ClearBuf", "Clear buffer*清除缓冲区"},
      {"DisplayCode", "Display code buffer*显示程序区"},
      {"DisplayEE", "Display data buffer*显示数据区"},
      {"Display8", "Bin 8 bites*8位显示"},
      {"Display16", "Bin 16 bites*16显示"},
      {"suiTabSheet1", " Buffer  *文件缓冲区"},
      {"suiTabSheet2", " Config  * 器件配置 "},
  };
  return texts;
}

void ApplyLanguageTexts(
    const std::function<void(const std::string& control, const std::string& text)>& apply) {
  ChineseTexts &= 1;
  for (const auto& [control, text] : MainWindowTexts()) apply(control, LocalText(text));
}

void TraceMismatch(std::string_view, int, int, int) {}

}  // namespace zelvar
