// The script functions of the extender, in table order: the host calls entry
// i by index i. One line per function: name, required and optional argument
// counts, and the argument types by position ('I' integer, 'S' string).
// This list declares the handlers of CVantor and builds the table the host
// reads; nothing else repeats it.
//
// rtZoom declares one argument but reports position 2 as a string too; the
// host has always read it so.
#pragma once

#define VANTOR_FUNCTIONS(X)                   \
    X(anCloseAVI, 1, 0, "I")                  \
    X(anCreateAVI, 6, 0, "IIIIII")            \
    X(anOpenAVI, 2, 0, "IS")                  \
    X(anPlayAVI, 4, 0, "IIII")                \
    X(anStopAVI, 1, 0, "I")                   \
    X(cbGetCurSel, 1, 0, "I")                 \
    X(cbSetCurSel, 2, 0, "II")                \
    X(cbSetDropHeight, 2, 0, "II")            \
    X(ccShow, 2, 0, "II")                     \
    X(DCCompatible, 2, 0, "II")               \
    X(ebGetModify, 1, 0, "I")                 \
    X(ebSetLenLimit, 2, 0, "II")              \
    X(ebMask, 2, 1, "ISI")                    \
    X(ebMaskClean, 2, 1, "ISI")               \
    X(ebSetModify, 2, 0, "II")                \
    X(ilAddImage, 4, 0, "ISII")               \
    X(ilCreateImgList, 5, 0, "IIIII")         \
    X(ilDeleteImgList, 1, 0, "I")             \
    X(ilRemoveImage, 2, 0, "II")              \
    X(ipClearIP, 1, 0, "I")                   \
    X(ipCreateIP, 6, 0, "IIIIII")             \
    X(ipGetIP, 1, 0, "I")                     \
    X(ipIsBlank, 1, 0, "I")                   \
    X(ipSetFocus, 2, 0, "II")                 \
    X(ipSetIP, 2, 0, "IS")                    \
    X(ipSetRange, 4, 0, "IIII")               \
    X(lbDeleteItem, 3, 0, "III")              \
    X(lbGetItemCount, 1, 0, "I")              \
    X(lbGetItemCountSel, 1, 0, "I")           \
    X(lbGetItemHeight, 1, 0, "I")             \
    X(lbGetItemSel, 1, 0, "I")                \
    X(lbGetItemState, 2, 0, "II")             \
    X(lbSetHScrollSize, 2, 0, "II")           \
    X(lbSetItemHeight, 2, 0, "II")            \
    X(lbSetItemState, 3, 0, "III")            \
    X(lvClearImages, 1, 0, "I")               \
    X(lvDeleteItem, 3, 0, "III")              \
    X(lvGetItemCheck, 2, 0, "II")             \
    X(lvGetItemsChecked, 1, 0, "I")           \
    X(lvSetItemsChecked, 2, 0, "II")          \
    X(lvGetItemCount, 1, 0, "I")              \
    X(lvGetItemCountSel, 1, 0, "I")           \
    X(lvGetItemState, 3, 0, "III")            \
    X(lvGetItemText, 3, 0, "III")             \
    X(lvInsertColumn, 3, 0, "IIS")            \
    X(lvInsertItem, 3, 0, "IIS")              \
    X(lvScrollTo, 3, 0, "III")                \
    X(lvSetBkColor, 2, 0, "IS")               \
    X(lvSetBkImage, 5, 0, "IIISI")            \
    X(lvSetColumnFill, 3, 0, "IIS")           \
    X(lvSetColumnFillSeq, 4, 0, "IIII")       \
    X(lvSetColumnImage, 4, 0, "IIII")         \
    X(lvSetColumnWidth, 3, 0, "III")          \
    X(lvSetImageList, 2, 0, "II")             \
    X(lvSetItemCheck, 3, 0, "III")            \
    X(lvSetItemImage, 4, 0, "IIII")           \
    X(lvSetItemState, 4, 0, "IIII")           \
    X(lvSetItemText, 4, 0, "IIIS")            \
    X(lvSetItemTextColor, 5, 0, "IIIIS")      \
    X(pbSetMultiline, 2, 0, "II")             \
    X(pgCreateProgressBar, 6, 0, "IIIIII")    \
    X(pgSetColor, 3, 0, "ISI")                \
    X(pgSetPosition, 2, 0, "II")              \
    X(pgSetRange, 3, 0, "III")                \
    X(pgSetState, 2, 0, "II")                 \
    X(pgSetStep, 2, 0, "II")                  \
    X(pgStep, 2, 0, "II")                     \
    X(RedrawControl, 2, 0, "II")              \
    X(RemoveControl, 1, 0, "I")               \
    X(sbCreateStatusBar, 2, 0, "IS")          \
    X(sbSetBkColor, 2, 0, "IS")               \
    X(sbSetIcon, 3, 0, "IIS")                 \
    X(sbSetParts, 2, 0, "IS")                 \
    X(sbSetText, 3, 0, "IIS")                 \
    X(taAddTab, 3, 0, "IIS")                  \
    X(taCreateTab, 6, 0, "IIIIII")            \
    X(taDeleteTab, 2, 0, "II")                \
    X(taGetTabSel, 1, 0, "I")                 \
    X(taSetBkColor, 4, 0, "IIII")             \
    X(taSetTabSel, 2, 0, "II")                \
    X(taSetTabStyle, 2, 0, "II")              \
    X(trClearSel, 1, 0, "I")                  \
    X(trClearTics, 1, 0, "I")                 \
    X(trCreateTrackBar, 6, 0, "IIIIII")       \
    X(trGetTrackInfo, 2, 0, "II")             \
    X(trRemoveBuddy, 1, 0, "I")               \
    X(trSetBuddy, 6, 0, "IIIISS")             \
    X(trSetLineSize, 2, 0, "IS")              \
    X(trSetPageSize, 2, 0, "IS")              \
    X(trSetPos, 2, 0, "IS")                   \
    X(trSetRangeMax, 2, 0, "IS")              \
    X(trSetRangeMin, 2, 0, "IS")              \
    X(trSetSelEnd, 2, 0, "IS")                \
    X(trSetSelStart, 2, 0, "IS")              \
    X(trSetTic, 2, 0, "IS")                   \
    X(trSetTicFreq, 2, 0, "IS")               \
    X(trSetTipSide, 2, 0, "IS")               \
    X(ttActivate, 2, 0, "II")                 \
    X(ttAddToolTip, 3, 0, "IIS")              \
    X(ttCreateToolTip, 1, 0, "I")             \
    X(ttDeleteToolTip, 2, 0, "II")            \
    X(ttSetColor, 3, 0, "ISI")                \
    X(ttSetDelay, 3, 0, "III")                \
    X(ttSetText, 3, 0, "IIS")                 \
    X(ttSetTitle, 3, 0, "IIS")                \
    X(rtCreate, 6, 0, "IIIIII")               \
    X(rtBold, 1, 0, "I")                      \
    X(rtItalic, 1, 0, "I")                    \
    X(rtUnderline, 1, 0, "I")                 \
    X(rtSetTextColor, 2, 0, "IS")             \
    X(rtSetTextBackColor, 2, 0, "IS")         \
    X(rtSetAlignment, 2, 0, "II")             \
    X(rtSetBulleted, 1, 0, "I")               \
    X(rtSetNumbered, 1, 1, "II")              \
    X(rtIndent, 2, 0, "IS")                   \
    X(rtSetText, 2, 0, "IS")                  \
    X(rtSetDefaults, 1, 0, "I")               \
    X(rtFontSizing, 2, 0, "IS")               \
    X(rtZoom, 1, 0, "IS")                     \
    X(rtLoadFileRTF, 2, 0, "IS")              \
    X(rtSaveFileRTF, 2, 0, "IS")              \
    X(rtFindText, 5, 0, "ISIII")              \
    X(tvCreateTreeView, 10, 1, "IIIIIIIIIII") \
    X(tvAdd, 3, 0, "ISI")                     \
    X(tvDelete, 1, 1, "II")                   \
    X(evDialogProcOptions, 3, 2, "IIISI")     \
    X(evProcessEvents, 0, 0, "")              \
    X(coAskColor, 1, 1, "II")                 \
    X(imEmbedImage, 2, 1, "ISI")              \
    X(wnTaskBar, 1, 0, "I")

// The constants, in table order after the functions: name and value.
#define VANTOR_CONSTANTS(X)     \
    X("@nPAREN", 0)             \
    X("@nPARENS", 256)          \
    X("@nPERIOD", 512)          \
    X("@nPLAIN", 768)           \
    X("@nNONUM", 1024)          \
    X("@evdeOnEnter", -111)     \
    X("@evdeOnExit", -222)      \
    X("@evdeOnKeyPress", -333)  \
    X("@evdeOnGainFocus", -444) \
    X("@evdeOnLoseFocus", -555) \
    X("@LEFT", 1)               \
    X("@RIGHT", 2)              \
    X("@CENTER", 3)             \
    X("@dbVersion", 1022)       \
    X("@EasterEgg", 42)         \
    X("@TestConstant", 1)
