#include "host/vantor.h"

VANTOR_NOT_BUILT(evDialogProcOptions)
VANTOR_NOT_BUILT(evProcessEvents)
