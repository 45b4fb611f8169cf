#include "host/vantor.h"

VANTOR_NOT_BUILT(ilAddImage)
VANTOR_NOT_BUILT(ilCreateImgList)
VANTOR_NOT_BUILT(ilDeleteImgList)
VANTOR_NOT_BUILT(ilRemoveImage)
VANTOR_NOT_BUILT(tvCreateTreeView)
VANTOR_NOT_BUILT(tvAdd)
VANTOR_NOT_BUILT(tvDelete)
