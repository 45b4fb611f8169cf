#include "host/vantor.h"

VANTOR_NOT_BUILT(ebGetModify)
VANTOR_NOT_BUILT(ebSetLenLimit)
VANTOR_NOT_BUILT(ebMask)
VANTOR_NOT_BUILT(ebMaskClean)
VANTOR_NOT_BUILT(ebSetModify)
