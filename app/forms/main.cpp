// The program's entry: the wait form, the forms, the main window and the message loop.
#include <QApplication>
#include <QMessageBox>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QMessageBox::information(nullptr, "Zelvar", "Zelvar: the main window is not built yet.");
  return 0;
}
