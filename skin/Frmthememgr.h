#pragma once
// The theme manager's editor form, in which a designer picks the controls a theme manager
// serves, and the editors of the theme components. The program's own forms place none of them.
#include <QDialog>
#include <functional>

class QListWidget;

namespace zelvar {

class TsuiBuiltInFileTheme;
class TsuiButton;
class TsuiFileTheme;
class TsuiThemeManager;

class TfrmMgr : public QDialog {
  Q_OBJECT

 public:
  explicit TfrmMgr(QWidget* parent = nullptr);
  QListWidget* List;
  TsuiButton* btn_sel;
  TsuiButton* btn_unsel;
  TsuiButton* btn_ok;
  void btn_selClick();
  void btn_unselClick();
};

// Runs a built form; tests replace it to tick items and answer.
using TfrmMgrRunner = std::function<int(TfrmMgr&)>;
// Lists the manager's candidate controls, ticked when the manager lists them; on OK the manager
// lists the ticked ones in list order. Then UpdateAll.
void ThemeManagerEdit(TsuiThemeManager& manager, const TfrmMgrRunner& run = {});
// Asks for a skin file ("Velmora Skin File (*.ssk)") and loads it; `choose` stands in for the
// open-file dialog.
using SkinFileChooser = std::function<QString()>;
void FileThemeEdit(TsuiFileTheme& theme, const SkinFileChooser& choose = {});
void BuiltInFileThemeEdit(TsuiBuiltInFileTheme& theme, const SkinFileChooser& choose = {});

}  // namespace zelvar
