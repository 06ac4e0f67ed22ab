#pragma once
// The services layer: everything the link and the algorithm sets need of the application.
// The GUI implements it with real windows; tests install a recording fake.
#include <cstdint>
#include <string>
#include <vector>

namespace zelvar {

// Log colours as the log control takes them (0x00BBGGRR).
enum LogColour : int { kBlack = 0, kRed = 255, kGreen = 32768 };

enum class BeepKind { Error, Success, Tone300Hz };
enum class BadPinAnswer { Again, Ignore, Cancel };

// A placement picture request: which drawing or file to show for the chosen chip.
struct PlacementRequest {
  std::string file;  // picture file under Place/ or Place2/, empty for a drawn picture
  int pins = 0;      // chip pin count for a drawn picture
  int offset = 0;    // socket rows below the chip for a drawn picture
  std::string caption;
  int firstRow = 0;  // first socket row under the chip (row 1 by the lever); 0: from `offset`
  int pin1Side = 0;  // 0: pin 1 at the chip's upper end in an unturned socket; 1: the lower end
};

class Services {
 public:
  virtual ~Services() = default;

  // Log and boxes. Texts arrive already in the current language.
  virtual bool ProgressWindowExists() = 0;
  virtual void AppendLog(int colour, const std::string& line, bool repaint) = 0;
  virtual void MessageBox(const std::string& text) = 0;
  // A Yes/No confirmation; true for Yes.
  virtual bool AskYesNo(const std::string&) { return false; }
  virtual void Beep(BeepKind kind) = 0;

  // The progress window. CentreProgressWindow puts it in the middle of the main window.
  virtual void CentreProgressWindow() {}
  virtual void SetProgressCaption(const std::string& caption) = 0;
  virtual std::string ProgressCaption() = 0;
  virtual void SetProgressMax(int max) = 0;
  virtual void SetProgressPosition(int position) = 0;
  virtual int ProgressPosition() = 0;
  virtual void ShowProgressWindow() = 0;
  virtual void CloseProgressWindow() = 0;
  virtual void Sleep(int ms) = 0;

  // The busy window shown while a bitstream loads or a chip is erased.
  virtual void ShowBusy(const std::string& caption) = 0;
  // Turns the busy window's picture one step (step 0 also shows the window); nothing by default.
  virtual void StepBusy(int /*step*/) {}
  virtual void HideBusy() = 0;

  // The bad-pin window: the pins without contact on a socket of 40 or 48 pins.
  virtual BadPinAnswer AskBadPins(const std::vector<int>& pins, int socketPins) = 0;

  // Pictures.
  virtual void ShowPlacement(const PlacementRequest& request) = 0;
  // `picture`: the header legend, one entry per line ("7----VCC(8)"), as far as an "end" line.
  virtual void ShowIspWiring(const std::string& picture) = 0;

  // The chosen chip's parameters.
  virtual int ChipParam(const std::string& key) = 0;
  virtual bool ChipNameContains(const std::string& text) = 0;

  // The loaded file, checked by the one-time-programmable sets before Write, since a part burned
  // from the wrong image is lost. ConvertMiconFile: 1 when the buffer holds an image ready to be
  // burned (converting a loaded object file first); with no application behind it, none is.
  virtual int ConvertMiconFile() { return 0; }
  // Always 1; warns in the log when the loaded file is not a ".CDS" image.
  virtual int CheckCdsExtension() { return 1; }
};

// The services in force; a silent do-nothing instance until one is installed.
Services& services();
// Installs `s` (nullptr restores the silent instance). The caller keeps ownership.
void SetServices(Services* s);

}  // namespace zelvar
