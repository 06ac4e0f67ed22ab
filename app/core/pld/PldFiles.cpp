#include "app/core/pld/PldFiles.h"

#include <span>

#include "services/AppState.h"
#include "services/Jedec.h"
#include "services/Messages.h"
#include "services/PldDocuments.h"

namespace zelvar {

namespace {

std::span<std::uint8_t> Map() {
  return gApp.CodeBuffer;
}

}  // namespace

bool LoadJedecDocument(int viewKind, const std::string& path) {
  if (viewKind == 1) {
    gPld.fuse.exists = true;
    gPld.fuse.caption = path;
    return ReadGalJedec(path, gPld.fuse, Map());
  }
  auto lines = ReadTextFileLines(path);
  if (!lines) {
    ShowMessageText(kCanNotOpenFile);
    return false;
  }
  gPld.jedec.exists = true;
  gPld.jedec.caption = path;
  gPld.jedec.lines = std::move(*lines);
  return true;
}

bool LoadSvfDocument(const std::string& path) {
  auto lines = ReadTextFileLines(path);
  if (!lines) {
    ShowMessageText(kCanNotOpenFile);
    return false;
  }
  gPld.svf.exists = true;
  gPld.svf.caption = path;
  gPld.svf.lines = std::move(*lines);
  return true;
}

std::vector<std::string> ShowFuseRows() {
  gPld.fuse.exists = true;
  gPld.fuse.readOnly = false;
  gPld.fuse.fuseCount = gPld.fuse.MapFuses();
  return FuseRowLines(gPld.fuse, Map());
}

std::string FuseWindowChecksum() {
  char text[8];
  std::snprintf(text, sizeof text, "%04x", JedecFuseChecksum(Map(), gPld.fuse.DeviceFuses()));
  return text;
}

std::string FuseWindowCount() {
  return std::to_string(gPld.fuse.DeviceFuses());
}

std::string FuseCaretText(int line, int column) {
  const int fuse = FuseAtCaret(gPld.fuse, line, column);
  return fuse < 0 ? std::string() : std::to_string(fuse) + " ";
}

bool TypeFuse(int line, int column, char c) {
  if (gPld.fuse.readOnly || (c != '0' && c != '1')) return false;
  const int fuse = FuseAtCaret(gPld.fuse, line, column);
  if (fuse < 0) return false;
  gApp.CodeBuffer[static_cast<std::size_t>(fuse)] = static_cast<std::uint8_t>(c);
  gApp.ProjectModified |= 1;
  return true;
}

std::string JedecLineText(int line) {
  return "Line: " + std::to_string(line);
}

std::string JedecAddressText(int line) {
  const int address = (line - gPld.jedec.firstFuseLine) * gPld.jedec.blanks;
  return address < 0 ? std::string(" ") : "LineAddr: " + std::to_string(address);
}

bool SavePldJedec(const std::string& path) {
  const std::string& jed = path;
  if (gApp.InfoRecord[3] == 2 && gPld.jedec.exists) {
    if (WriteTextFileLines(jed, gPld.jedec.lines)) return true;
    ShowMessageText("Can not write this file!*不能写入文件!");
    return false;
  }
  if (!gPld.fuse.exists) return false;
  return WriteGalJedec(jed, gPld.fuse, Map());
}

}  // namespace zelvar
