#pragma once
// The wait form shown while the program starts: a framed picture panel.
#include <QWidget>
#include <string>

namespace zelvar {

class TsuiForm;
class TsuiImagePanel;

inline constexpr const char* kWaitPictureName = "Waitusb.jpg";

class TWaitForm : public QWidget {
  Q_OBJECT

 public:
  // Loads the picture from `picturePath`; without it the panel shows its caption only.
  explicit TWaitForm(QWidget* owner = nullptr, const std::string& picturePath = kWaitPictureName);

  TsuiForm* Frame = nullptr;        // the frame, with its title bar
  TsuiImagePanel* Panel = nullptr;  // the picture panel, picture stretched
  bool HasPicture() const { return hasPicture_; }

 private:
  bool hasPicture_ = false;
};

extern TWaitForm* WaitForm;

}  // namespace zelvar
