#pragma once
// The bad-pin window: the socket with the pins that lack contact in red, and the choice Again,
// Ignore or Cancel.
#include <QDialog>
#include <vector>

class QLabel;
class QPushButton;

namespace zelvar {

class TShowBadPin : public QDialog {
  Q_OBJECT

 public:
  explicit TShowBadPin(QWidget* owner = nullptr);

  // Set by the button that closes the window: Cancel 0, Ignore 2, Again 3. The caller reads it
  // after the modal show.
  int BadPinAnswer = 0;

  QLabel* Image1 = nullptr;
  QLabel* Label1 = nullptr;
  QPushButton* Button3 = nullptr;  // Again
  QPushButton* Button1 = nullptr;  // Cancel
  QPushButton* Button2 = nullptr;  // Ignore
};

// Sets the texts and draws the socket for `gLink.ModelNumber`; the caller then shows the form.
void DrawBadPins(TShowBadPin* form, const std::vector<int>& badPins);

// Draws `ShowBadPin`, shows it modally and returns its answer (Cancel 0, Ignore 2, Again 3); 0
// while the window does not exist.
int AskBadPinsWindow(const std::vector<int>& badPins);

extern TShowBadPin* ShowBadPin;

}  // namespace zelvar
