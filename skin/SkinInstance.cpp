// theSkin: built before the application object and destroyed after the last window.
#include "skin/Skin.h"

// Initialised ahead of ordinary statics so that it outlives every other static object.
CSkin theSkin __attribute__((init_priority(200)));
