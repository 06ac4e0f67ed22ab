#pragma once
// The MDI frame: the skinned frame of a form whose children live in a QMdiArea. It stands on the
// form frame (title bar, border strip, round corners, maximise), shows a menu bar below the title
// with the active child's menu or the form's own, offers the three control buttons of a
// maximised child at the bar's right end, keeps a list of the children in the form's window
// menu, and cascades and tiles the children itself.
#include <QList>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <string>
#include <vector>

#include "skin/Suimgr.h"

class QAction;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QMenuBar;

namespace zelvar {

class TsuiForm;
class TsuiMainMenu;
class TsuiTitleBar;
class TsuiToolBarSpeedButton;

// The bounds of `count` cascaded children in a client of `client` size, in the order they are
// placed (the bottom-most first): each 80 % wide and 60 % high, 22 pixels further right and down
// than the one before.
std::vector<QRect> CascadeBounds(int count, const QSize& client);

enum class TsuiTileMode { tbHorizontal, tbVertical };
// The bounds of `count` tiled children, placed in turn. The room is the client's height less the
// controls aligned above and below it (`alignedHeight`) and less a 25-pixel row for the icons of
// minimised children (`someMinimised`). Horizontal tiles stack full-width rows, vertical tiles
// stand side by side; each leaves a gap of 2 (and the rows 4 at their ends).
std::vector<QRect> TileBounds(int count, const QSize& client, int alignedHeight, bool someMinimised,
                              TsuiTileMode mode);

// The narrowest an MDI frame may be in a skin: the left and right title pictures and one title
// button of the skin's strip (`titleButtonsWidth` cut into its 18 frames) with room for the
// other buttons at 15 pixels each (`buttonCount`; below 0 when there is no title bar, 35 then).
int MdiMinimumWidth(int bar1Width, int bar3Width, int titleButtonsWidth, bool fiveSections,
                    int buttonCount);

class TsuiMDIForm : public QObject, public TsuiStyled {
  Q_OBJECT

 public:
  // Put on `ownerForm`, a plain top-level window (not a QMainWindow, whose own menu bar would
  // take the children's controls): the frame fills it and holds the MDI area. Any other owner
  // throws std::invalid_argument("Sorry, TsuiMDIForm must be placed on a form").
  explicit TsuiMDIForm(QWidget* ownerForm);
  ~TsuiMDIForm() override;

  QMdiArea* MdiArea() const { return area_; }
  TsuiForm* Frame() const { return frame_; }
  TsuiTitleBar* TitleBar() const;
  // The bar the frame shows below the title (the upper panel).
  TsuiMainMenu* MenuBar() const { return bar_; }
  QWidget* OwnerForm() const { return owner_; }

  // The form's own menu: a menu bar whose actions are the first-level items. The frame shows its
  // items in its own bar, so the given bar itself stays hidden.
  void SetMenu(QMenuBar* menu);
  QMenuBar* Menu() const { return menu_; }
  // The menu of the form's menu that lists the children.
  void SetWindowMenu(QMenu* menu);
  QMenu* WindowMenu() const { return windowMenu_; }
  void SetTileMode(TsuiTileMode mode) { tileMode_ = mode; }
  TsuiTileMode TileMode() const { return tileMode_; }

  void SetCaption(const std::string& caption);
  std::string Caption() const { return caption_; }
  // The title as drawn: with a maximised active child, its caption in brackets after the form's.
  QString ShownCaption() const;
  void SetTitleBarDrawChildCaptions(bool on);
  bool TitleBarDrawChildCaptions() const { return drawChildCaptions_; }
  void SetTitleBarDrawChildMenus(bool on);
  bool TitleBarDrawChildMenus() const { return drawChildMenus_; }
  void SetTitleBarVisible(bool visible);

  // Adds `child` as a child window of the frame.
  QMdiSubWindow* AddChild(QWidget* child);
  QMdiSubWindow* ActiveChild() const;
  // The children that are not being closed, bottom-most first.
  QList<QMdiSubWindow*> Children() const;

  // The menu to show: the active child's own (a menu bar among its direct children), else that of
  // its frame, when child menus are drawn; in every other case the form's own.
  QMenuBar* GetMainMenu() const;
  TsuiForm* GetActiveChildSUIForm() const;
  // Rebuilds the bar from the menu in use; without one the bar is hidden.
  void UpdateMenu();
  // The form's window menu: a separator and one item per child, while the form's own menu shows.
  void UpdateWindowMenu();
  const QList<QAction*>& WindowItems() const { return windowItems_; }

  void Cascade();
  void Tile();

  // The control buttons of a maximised active child: close, restore, minimise.
  TsuiToolBarSpeedButton* CloseButton() const { return buttons_[0]; }
  TsuiToolBarSpeedButton* RestoreButton() const { return buttons_[1]; }
  TsuiToolBarSpeedButton* MinimiseButton() const { return buttons_[2]; }
  void ShowControlButtons();
  void HideControlButtons();

  // The title bar's height when it shows plus the menu bar's when it shows.
  int GetTitleBarHeight() const;

 protected:
  void UIStyleChanged() override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void OnControlButtonClick(int tag);
  void OnWindowMenuClick(QMdiSubWindow* child);
  void ChildStateChanged();
  void PlaceControlButtons();
  void RefreshCaption();
  void FreeWindowItems();
  // The first-level items of a menu source.
  static QList<QAction*> Items(const QMenuBar* menu);

  QWidget* owner_;
  TsuiForm* frame_;
  QMdiArea* area_;
  TsuiMainMenu* bar_;
  QWidget* corner_;
  TsuiToolBarSpeedButton* buttons_[3];
  QPointer<QMenuBar> menu_;
  QPointer<QMenu> windowMenu_;
  QPointer<QMenuBar> shownMenu_;  // the menu in use
  QList<QAction*> windowItems_;
  std::string caption_;
  TsuiTileMode tileMode_ = TsuiTileMode::tbHorizontal;
  bool drawChildCaptions_ = true;
  bool drawChildMenus_ = true;
  bool destroying_ = false;
};

}  // namespace zelvar
