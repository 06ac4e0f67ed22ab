#pragma once
// The three programmable-logic windows, thin over app/core/pld: the small-PLD fuse map
// (`TPldFileW`), the large-PLD JEDEC text (`TLargePldFileW`) and the SVF viewer (`TSvfFileW`).
// Each is made on first use and placed beside the main window.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QWidget>

namespace zelvar {

class TInputHexDlg;

class TPldFileW : public QWidget {
  Q_OBJECT
 public:
  explicit TPldFileW(QWidget* parent);
  // Redraws the fuse rows from CodeBuffer and shows the window.
  void ShowFuseRows();

  QPlainTextEdit* RichEdit1;
  QLineEdit* Edit1;   // the fuse under the caret
  QLineEdit* Edit2;   // the fuse checksum
  QLabel* FuseCount;  // the part's fuse count (a JEDEC file's QF)
  QAction* Fill1;
  QAction* MaxAddr1;
  // The menu items open the three-number dialog without waiting, its start and value fields
  // enabled for Fill and disabled for MaxAddr; the window does not read its results.
  void FillClick() { ShowNumbers(true); }
  void MaxAddrClick() { ShowNumbers(false); }
  TInputHexDlg* numbers = nullptr;  // made on first use

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CaretMoved();
  void ShowNumbers(bool fill);
};

class TLargePldFileW : public QWidget {
  Q_OBJECT
 public:
  explicit TLargePldFileW(QWidget* parent);
  // Shows the JEDEC text document.
  void ShowText();

  QPlainTextEdit* RichEdit1;
  QLabel* Panel1;  // the result of the last unpacking
  QLabel* Label1;  // the caret's line
  QLabel* Label2;  // the caret's line address
};

class TSvfFileW : public QWidget {
  Q_OBJECT
 public:
  explicit TSvfFileW(QWidget* parent);
  void ShowText();

  QPlainTextEdit* RichEdit1;
  QLabel* Panel1;
};

// Shows the window of view kind 1, 2 or 3 (hiding the others), making it on first use.
void ShowPldWindow(QWidget* mainWindow, int kind);

}  // namespace zelvar
