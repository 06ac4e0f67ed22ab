#pragma once
// The choice between a skin file and a built-in style, and the style every skinned control
// carries.
#include "skin/Suithemes.h"

class QWidget;

namespace zelvar {

// A skin-file theme. Skin files cannot be read yet, so a theme never becomes usable here; the
// controls' file-theme branch falls back to DeepBlue through UsingFileTheme.
class TsuiFileTheme {
 public:
  virtual ~TsuiFileTheme() = default;
  // Whether a skin file was loaded successfully.
  virtual bool CanUse() const { return false; }
};

// True: read every value from `fileTheme`. False: read every value from the built-in style left
// in `style`.
bool UsingFileTheme(const TsuiFileTheme* fileTheme, TsuiUIStyle uiStyle, TsuiUIStyle& style);

// The UIStyle and FileTheme that every skinned control publishes. Setting either re-reads the
// control's colours, pictures and flags (UIStyleChanged) and repaints.
class TsuiStyled {
 public:
  virtual ~TsuiStyled() = default;

  void SetUIStyle(TsuiUIStyle style);
  virtual TsuiUIStyle UIStyle() const { return uiStyle_; }
  void SetFileTheme(TsuiFileTheme* theme);
  TsuiFileTheme* FileTheme() const { return fileTheme_; }
  // The built-in style the control reads its values from. A usable file theme cannot be read
  // until skin files are built, so it reads DeepBlue then.
  TsuiUIStyle Style() const;

 protected:
  virtual void UIStyleChanged() {}
  // The style of the frame on `owner`'s window, as a new control takes it.
  static TsuiUIStyle OwnerStyle(const QWidget* owner);

 private:
  TsuiUIStyle uiStyle_ = DeepBlue;
  TsuiFileTheme* fileTheme_ = nullptr;
};

}  // namespace zelvar
