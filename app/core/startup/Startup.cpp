#include "app/core/startup/Startup.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>

#include "app/core/startup/RecentList.h"
#include "services/AppState.h"
#include "services/Messages.h"

namespace zelvar {

int LanguageFromLocaleName(const std::string& name) {
  // zh_CN, zh_CN.UTF-8, zh-CN, zh_Hans_CN: the PRC's Chinese.
  if (name.size() < 2 || name.compare(0, 2, "zh") != 0) return 0;
  const std::string region = name.substr(0, name.find_first_of(".@"));
  return region.size() >= 5 && region.compare(region.size() - 2, 2, "CN") == 0 ? 1 : 0;
}

int SystemDefaultLanguage() {
  for (const char* var : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(var);
    if (value && *value) return LanguageFromLocaleName(value);
  }
  return 0;
}

std::string CurrentDirectory() {
  std::string dir(4096, '\0');
  if (!getcwd(dir.data(), dir.size())) return "./";
  dir.resize(dir.find('\0'));
  if (dir.empty() || dir.back() != '/') dir += '/';
  return dir;
}

bool RunStartup(const StartupPorts& ports) {
  auto run = [](const std::function<void()>& f) {
    if (f) f();
  };
  ChineseTexts = ports.systemLanguage ? ports.systemLanguage() : SystemDefaultLanguage();
  run(ports.applyLanguageTexts);
  if (ports.mainCaption) gApp.MainCaption = ports.mainCaption();
  const bool connected = ports.connectProgrammer && ports.connectProgrammer();

  gApp.ProgramDir = ports.programDirectory ? ports.programDirectory() : CurrentDirectory();
  gApp.RecentListPath = gApp.ProgramDir + kRecentListName;
  gApp.RecentNames = {};
  LoadRecentNames(gApp.RecentListPath, gApp.RecentNames);
  run(ports.showRecentNames);
  run(ports.clearLog);

  gApp.CodeLastAddress = 4096;
  gApp.InfoRecord[0] = 4096;
  std::fill_n(gApp.CodeBuffer.begin(), 0x10000, std::uint8_t{0xFF});
  run(ports.showBuffer);
  run(ports.applySelectAll);
  run(ports.resetConfigTab);
  return connected;
}

}  // namespace zelvar
