#include "state/window_messages.h"

const char kMainClassName[] = "Tamble Touroku kurasu";
