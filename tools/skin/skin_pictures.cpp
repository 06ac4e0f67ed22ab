// Writes every built-in picture of the skinned controls to DIR/<name>.png, magnified 4 times
// beside the original so that single pixels can be looked at.
//   skin_pictures DIR
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <cstdio>

#include "skin/Suipictures.h"

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: skin_pictures DIR\n");
    return 2;
  }
  const QDir dir(QString::fromLocal8Bit(argv[1]));
  if (!dir.exists() && !QDir().mkpath(dir.path())) {
    std::fprintf(stderr, "cannot make %s\n", argv[1]);
    return 1;
  }
  int failed = 0;
  for (const std::string& name : zelvar::ResourceBitmapNames()) {
    const QImage picture = zelvar::LoadResourceBitmap(name);
    const QString base = dir.filePath(QString::fromStdString(name));
    const bool ok =
        picture.save(base + ".png") && picture.scaled(picture.size() * 4).save(base + "_x4.png");
    if (!ok) {
      std::fprintf(stderr, "cannot write %s\n", name.c_str());
      ++failed;
    }
  }
  return failed == 0 ? 0 : 1;
}
