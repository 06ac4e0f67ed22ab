#pragma once
// The logic IC tester without its window: loads the test design and a library, tests the chip in
// the socket against one library chip's vectors, or searches the library for every chip whose
// logic the one in the socket matches. The form mirrors the state below after each call.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/core/ictest/IcLibrary.h"

namespace zelvar {

// The supply voltage a voltage combo text names, in millivolts ("Voltage=4.2V" gives 4400).
int IcVoltageMillivolts(const std::string& comboText);

class IcTester {
 public:
  // The controls' state.
  int libraryItem = 0;
  IcLibrary library;
  std::string message;               // Message
  std::string number;                // Number: the chosen chip's name
  std::vector<std::string> matches;  // ListBox2
  int current = 0;                   // the chip that Test tests
  int selected = -1;                 // ListBox1's selection, -1 none
  int supplyPin = 0;
  int vectorCount = 0;
  // Called whenever `message` changes during a run, so the window can show the count.
  std::function<void()> progress;

  // Loads the design, sets the supplies, and loads the library of item `typeIndex`.
  void Prepare(int typeIndex);
  // The radio group's item: loads its library.
  void SelectLibrary(int item);
  void LoadLibrary(const std::string& fileName);
  // Tests the chip in the socket against library chip `chip`: 1 pass, 0 fail.
  int RunIcTest(int chip);
  // Applies vector `index` of the record at `offset`: 1 match (or drive only), 0 mismatch.
  int ApplyIcVector(std::uint32_t offset, int index);
  void SelectIcSupplyPin(int pin);
  // Test: the current chip at the combo's voltage; "OK!" or "Bad!!!".
  void TestChip(const std::string& voltage);
  // Search: every chip of the library but the last two (the libraries end with two records that
  // name no chip), each from a power-up.
  void Search(const std::string& voltage);
  // A click on the library list.
  void Choose(int chip);
  // Closing the window: every supply off.
  void Close();

 private:
  bool Drive(const std::uint8_t* v, bool compare);
  void PowerUp(int supplyPin);
  void Show(const std::string& text);
};

}  // namespace zelvar
