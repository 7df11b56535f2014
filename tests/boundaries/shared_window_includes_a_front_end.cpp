// The shared window code knows no front end.
#include "window/qt/text_box.h"
