#pragma once
// The built-in pictures of the five styles, looked up by resource name. They are drawn by the
// generator in Suipictures.cpp on first use; magenta (255, 0, 255) marks see-through pixels.
#include <QImage>
#include <string>
#include <vector>

namespace zelvar {

// The named picture; a null image for a name the program does not hold.
QImage LoadResourceBitmap(const std::string& name);
// Every picture name, for the tool that writes them out as PNG files.
std::vector<std::string> ResourceBitmapNames();

}  // namespace zelvar
