#include "host/vantor.h"

VANTOR_NOT_BUILT(cbGetCurSel)
VANTOR_NOT_BUILT(cbSetCurSel)
VANTOR_NOT_BUILT(cbSetDropHeight)
VANTOR_NOT_BUILT(lbDeleteItem)
VANTOR_NOT_BUILT(lbGetItemCount)
VANTOR_NOT_BUILT(lbGetItemCountSel)
VANTOR_NOT_BUILT(lbGetItemHeight)
VANTOR_NOT_BUILT(lbGetItemSel)
VANTOR_NOT_BUILT(lbGetItemState)
VANTOR_NOT_BUILT(lbSetHScrollSize)
VANTOR_NOT_BUILT(lbSetItemHeight)
VANTOR_NOT_BUILT(lbSetItemState)
