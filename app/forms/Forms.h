#pragma once
// The forms created once at start-up, in their fixed order, and what the small windows share.
#include <QWidget>

#include "app/forms/Main.h"

namespace zelvar {

class GuiServices;
class TSelZorDlg;
class TTypeDlg;

extern TSelZorDlg* SelZorDlg;
extern TTypeDlg* TypeDlg;

// Creates the forms once, in order: MainForm, DispTimer1, DispRun1, FileFormat, SelZorDlg,
// TypeDlg, Place1, ShowBadPin, Setting1, AutoPro1, IputDlg, InputHexDlg, SelfWin, ICTestx,
// SearchTool, FillDlg1, PlaceIsp1. Forms whose units have not landed are left out of the order
// until they do. The main form is the first. Without a chip-button seam of its own, the main window
// opens the chip dialog. With `gui`, the services get the main window's log,
// the progress window in its place in the order, and the small windows as their hooks.
void CreateForms(MainSeams seams, GuiServices* gui = nullptr);
// Points the services' busy, bad-pin, placement and ISP hooks at the windows made here.
void InstallWindowHooks(GuiServices& gui);
// Destroys what CreateForms made and clears the pointers.
void DestroyForms();

// Puts `w` in the middle of the main window (halves rounded toward zero).
void CentreOnMainForm(QWidget* w);

}  // namespace zelvar
