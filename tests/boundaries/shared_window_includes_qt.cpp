// The shared window code knows no toolkit.
#include <QString>
