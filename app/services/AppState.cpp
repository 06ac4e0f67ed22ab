#include "app/services/AppState.h"

namespace zelvar {
AppState gApp;
}
