// The core knows nothing of the command-line splitter.
#include "cli/system_io.h"
