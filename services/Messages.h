#pragma once
// Bilingual texts, the log, message boxes and the progress window, as the link, the algorithm
// sets and the runner call them. Platform work goes through services().
//
// A bilingual text is "English*Chinese"; a text without '*' is an English word that the
// translation table may know. Every function here returns an owned string, so a caller may keep
// two results at once and a long text (a path) is never cut.
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zelvar {

// The language flag: 1 shows the Chinese half of a bilingual text, 0 the English half. Only its
// lowest bit counts; ApplyLanguageTexts reduces it to that bit.
extern int ChineseTexts;
bool ChineseMode();

// English word, a comma, the Chinese word; the first entry that begins with '$' ends the table.
inline constexpr std::size_t kTranslationTableSize = 100;
extern const std::array<const char*, 23> TranslationTable;

// The text in the current language. Chinese mode looks a text without '*' up in the table: the
// first entry that contains it anywhere (case-sensitive) gives its Chinese half.
std::string LocalText(std::string_view text);
// English mode cuts a config-bit or grid name at its first '(' (the Chinese note); Chinese mode
// keeps the whole text.
std::string StripNote(std::string_view text);

// Log lines go to the main window's log only once the progress window exists; before that they
// are dropped.
void AddMessageLine(std::string_view text);
void AddColouredLine(int colour, std::string_view text);
void ShowMessageText(std::string_view text);
// A Yes/No confirmation in the current language; true for Yes.
bool AskYesNo(std::string_view text);

// The title of a chip operation (codes 20..34) in the current language; empty for any other code.
std::string OperationTitle(int operationCode);

// The progress window: 0 opens it with CodeLastAddress as maximum, a position advances it (and
// closes it at CodeLastAddress), a negative position runs the bar to the end and closes it.
void ShowProgress(int position);
// Titles the progress window with the operation and opens it.
void ShowOperationName(int operationCode);
// Appends "<title>Complete" or "<title>Error at:AAAAA:(BB)" to the log and beeps. The runner
// passes the link's StatusWord, FailAddress and FailByte.
void ShowOperationResult(int status, std::uint32_t failAddress, std::uint8_t failByte);
// The result line alone, as ShowOperationResult writes it after `caption`.
std::string OperationResultLine(const std::string& caption, int status, std::uint32_t failAddress,
                                std::uint8_t failByte);

// Where a window of `width` x `height` goes to stand centred on the main window (halves rounded
// toward zero).
struct WindowPos {
  int left;
  int top;
};
WindowPos CentredOn(int mainLeft, int mainTop, int mainWidth, int mainHeight, int width,
                    int height);

// The main window's texts as (control name, bilingual text), in the order they are applied: the
// tool-button hints (controls named suiImageButton*), the menu captions, the captions of one check
// box and two buttons, and the two tab captions.
const std::vector<std::pair<std::string, std::string>>& MainWindowTexts();
// Reduces ChineseTexts to its lowest bit, then hands every control its text in that language.
void ApplyLanguageTexts(
    const std::function<void(const std::string& control, const std::string& text)>& apply);

// Called by sets on a read-back mismatch; a place to hang a trace, silent by default.
void TraceMismatch(std::string_view what, int address, int read, int expected);

}  // namespace zelvar
