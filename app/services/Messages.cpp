#include "app/services/Messages.h"

#include "app/services/Services.h"

namespace zelvar {

int ChineseTexts = 0;

std::string LocalText(const std::string& text) {
  const auto star = text.find('*');
  if (star == std::string::npos) return text;
  return ChineseTexts ? text.substr(star + 1) : text.substr(0, star);
}

std::string StripNote(const std::string& text) {
  if (ChineseTexts) return text;
  return text.substr(0, text.find('('));
}

void AddMessageLine(const std::string& text) {
  if (!services().ProgressWindowExists()) return;
  services().AppendLog(kBlack, LocalText(text), true);
}

void AddColouredLine(int colour, const std::string& text) {
  if (!services().ProgressWindowExists()) return;
  services().AppendLog(colour, LocalText(text), false);
}

void ShowMessageText(const std::string& text) { services().MessageBox(LocalText(text)); }

}  // namespace zelvar
