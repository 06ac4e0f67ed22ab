#pragma once
// The placement window: where the chip sits in the socket and where its pin 1 is, drawn or loaded
// from a picture file. Any click closes it.
#include <QDialog>
#include <string>

class QLabel;

namespace zelvar {

class TPlace1 : public QDialog {
  Q_OBJECT

 public:
  explicit TPlace1(QWidget* owner = nullptr);

  QLabel* Image1 = nullptr;

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
};

void DrawPlacement(TPlace1* form, int firstRow, int pinCount, int unused, int pin1Side);
// Loads ProgramDir + the model's picture folder + `name` into the picture; a missing or unreadable
// file shows a message and keeps the previous picture. False when not loaded.
bool LoadPlacementPicture(TPlace1* form, const std::string& name);

// Draw or load, then show `Place1` modally.
void ShowPlacement(int firstRow, int pinCount, int unused, int pin1Side);
void ShowPlacementFile(const std::string& name);

extern TPlace1* Place1;

}  // namespace zelvar
