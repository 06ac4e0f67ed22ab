#pragma once
// The config tab's chip controls for the main window to host: the config grid (Panel3 with
// StringGrid1), the radio combos (suiImagePanel4) and the option-word grid (Panelw). A thin view
// over ChipUiModel: user actions call the model's handlers, then Mirror shows the result.
#include <QWidget>
#include <array>

#include "app/core/describe/ChipUiModel.h"
#include "skin/Suicombobox.h"
#include "skin/Suigrid.h"
#include "skin/Suiimagepanel.h"

class QFrame;
class QLabel;

namespace zelvar {

class ConfigGrid : public QWidget {
  Q_OBJECT

 public:
  explicit ConfigGrid(ChipUiModel& model, QWidget* parent = nullptr);

  // Copies the model into the controls (after a chip set-up, a read or a project load).
  void Mirror();

  TsuiPanel* Panel3;            // fold-up panel, opened to kPanel3Height
  TsuiStringGrid* StringGrid1;  // skinned, without fixed cells
  TsuiImagePanel* suiImagePanel4;
  std::array<QLabel*, kRadioCombos> Labels{};
  std::array<TsuiComboBox*, kRadioCombos> Combos{};  // suiComboBoxCfg1 to 4
  QFrame* Panelw;                                    // as high as Panel3 opened
  QLabel* PanelwCaption;
  TsuiStringGrid* StringGridWord;  // skinned, without fixed cells
  static constexpr int kPanel3Height = 240;

 signals:
  // The user changed the config grid, a combo or the word grid.
  void Edited();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ComboActivated(int combo, int index);
  void WordCellChanged(int row, int column);

  ChipUiModel& model_;
  bool mirroring_ = false;
};

}  // namespace zelvar
