#pragma once
// The forms created once at start-up, in their fixed order, and what the small windows share.
#include <QWidget>
#include <string>

#include "app/forms/windows/Main.h"

namespace zelvar {

class GuiServices;
class OperationRunner;
class TAutoPro1;
class TFileFormat;
class TFillDlg1;
class TSearchTool;
class TSelZorDlg;
class TTypeDlg;

extern TFileFormat* FileFormat;
extern TSelZorDlg* SelZorDlg;
extern TTypeDlg* TypeDlg;
extern TAutoPro1* AutoPro1;
extern TSearchTool* SearchTool;
extern TFillDlg1* FillDlg1;

// Creates the forms once, in order: MainForm, DispTimer1, DispRun1, FileFormat, SelZorDlg,
// TypeDlg, Place1, ShowBadPin, Setting1, AutoPro1, IputDlg, InputHexDlg, SelfWin, ICTestx,
// SearchTool, FillDlg1, PlaceIsp1. Forms whose units have not landed are left out of the order
// until they do. The main form is the first. Every seam the caller leaves empty is wired to the
// piece that owns it: the chip dialog, the buffer files and hex view, the search and fill windows,
// and the operation runner with its config grid and auto-programming dialog. With `gui`, the
// services get the main window's log, the progress window in its place in the order, the small
// windows as their hooks and the chosen chip's parameters.
void CreateForms(MainSeams seams, GuiServices* gui = nullptr);
// The operation runner behind the main window's chip seams (nullptr without forms).
OperationRunner* MainRunner();
// Opens the project at `path` as File > Open project does after its dialog; false when refused.
bool OpenProjectFile(const std::string& path);
// Saves the project as File > Save project as does after its dialog; false when not written.
bool SaveProjectAs(const std::string& path);
// Points the services' busy, bad-pin, placement and ISP hooks at the windows made here.
void InstallWindowHooks(GuiServices& gui);
// Destroys what CreateForms made and clears the pointers.
void DestroyForms();

// Puts `w` in the middle of the main window (halves rounded toward zero).
void CentreOnMainForm(QWidget* w);

}  // namespace zelvar
