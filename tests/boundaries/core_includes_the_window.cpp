// The core knows nothing of the window.
#include "window/common/layout.h"
