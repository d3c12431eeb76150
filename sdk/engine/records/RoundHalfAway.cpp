#include "engine/records/RoundHalfAway.h"

#ifdef __FAST_MATH__
#error "The numeric engine must not be built with -ffast-math: its results depend on exact IEEE rounding."
#endif
