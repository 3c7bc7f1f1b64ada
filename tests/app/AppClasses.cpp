#include "app/Registration.h"

// The app tests read the program's own description, which names every class.
static const bool registered = (RegisterFormClasses(), true);
