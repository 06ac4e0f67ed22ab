#include "services/PldDocuments.h"

namespace zelvar {

PldDocuments gPld;

}  // namespace zelvar
