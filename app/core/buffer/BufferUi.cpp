#include "app/core/buffer/BufferUi.h"

#include "app/core/buffer/FileFormat.h"

namespace zelvar {
namespace {
BufferUi gDefaultUi;
BufferUi* gUi = &gDefaultUi;
}  // namespace

void BufferUi::CancelModel(FileFormatModel& model) {
  model.Cancel();
}

BufferUi& bufferUi() {
  return *gUi;
}
void SetBufferUi(BufferUi* ui) {
  gUi = ui ? ui : &gDefaultUi;
}

}  // namespace zelvar
