#pragma once
// Bilingual texts, the log, message boxes and the progress window, as the link and the algorithm
// sets call them. Platform work goes through services().
#include <string>

namespace zelvar {

// The language flag: 1 shows the Chinese half of a bilingual text, 0 the English half.
extern int ChineseTexts;

std::string LocalText(const std::string& text);
std::string StripNote(const std::string& text);

void AddMessageLine(const std::string& text);
void AddColouredLine(int colour, const std::string& text);
void ShowMessageText(const std::string& text);

}  // namespace zelvar
