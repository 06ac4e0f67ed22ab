#pragma once
// The in-system-programming picture: the 10-pin header above and the colour legend of its
// signals below. A click on either picture or on the form closes it.
#include <QDialog>
#include <string>
#include <vector>

class QLabel;

namespace zelvar {

class TPlaceIsp1 : public QDialog {
  Q_OBJECT

 public:
  explicit TPlaceIsp1(QWidget* owner = nullptr);

  QLabel* Image1 = nullptr;  // the header
  QLabel* Image2 = nullptr;  // the legend

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
};

// Draws header and legend on `form` without showing it.
void DrawIspPinPicture(TPlaceIsp1* form, const std::vector<std::string>& legend);
// Draws on `PlaceIsp1` and shows it modally.
void ShowIspPinPicture(const std::vector<std::string>& legend);

extern TPlaceIsp1* PlaceIsp1;

}  // namespace zelvar
