#pragma once
// The main window's start-up steps, without the window: the language, the programmer, the
// program directory, the recent list, the buffer and the config records. The window supplies
// what only it can do through the ports, and the steps run in the order the window needs.
#include <functional>
#include <string>

namespace zelvar {

// 1 (Chinese texts) when the locale name is Chinese (PRC), else 0.
int LanguageFromLocaleName(const std::string& name);
// The system's language from LC_ALL, LC_MESSAGES and LANG, in that order of precedence.
int SystemDefaultLanguage();

// The current working directory with a trailing "/", or "./" when it cannot be read.
std::string CurrentDirectory();

struct StartupPorts {
  // Puts the window's texts in the language `ChineseTexts` names.
  std::function<void()> applyLanguageTexts;
  // Records the window's caption as `MainCaption`.
  std::function<std::string()> mainCaption;
  // Finds and opens the programmer, leaves its model in `gLink.ModelNumber`; false when none.
  std::function<bool()> connectProgrammer;
  // The program directory, with its trailing "/" (defaults to CurrentDirectory()).
  std::function<std::string()> programDirectory;
  // Puts the recent names into the Reopen menu.
  std::function<void()> showRecentNames;
  // Clears the log.
  std::function<void()> clearLog;
  // Shows the buffer from 0 to `CodeLastAddress`.
  std::function<void()> showBuffer;
  // Gives every operation item the state of the select-all box.
  std::function<void()> applySelectAll;
  // Resets the 64 config records: row i gets an empty name, state 0 and option word i / 8.
  std::function<void()> resetConfigTab;
  // The system language (defaults to SystemDefaultLanguage()).
  std::function<int()> systemLanguage;
};

// Runs the start-up steps in order; ports left empty are skipped. Returns what the programmer
// connection returned (false without a connect port).
bool RunStartup(const StartupPorts& ports);

}  // namespace zelvar
