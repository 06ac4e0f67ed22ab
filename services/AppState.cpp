#include "services/AppState.h"

namespace zelvar {
AppState gApp;
}
