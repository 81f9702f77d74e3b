#pragma once

#include "view_types.h"

namespace hushgate::win32 {

// The name of a control as the layouts give it, for the scenario log.
inline const char* ControlName(Control control) {
    switch (control) {
#define HUSHGATE_NAME(name) \
    case Control::name:     \
        return #name;
        HUSHGATE_NAME(mnuFile)
        HUSHGATE_NAME(mnuExit)
        HUSHGATE_NAME(mnuHelp)
        HUSHGATE_NAME(mnuCheckUpdates)
        HUSHGATE_NAME(mnuLanguage)
        HUSHGATE_NAME(mnuDonate)
        HUSHGATE_NAME(mnuWeb)
        HUSHGATE_NAME(mnuAbout)
        HUSHGATE_NAME(mnuFacebook)
        HUSHGATE_NAME(Toolbar1Button2)
        HUSHGATE_NAME(Toolbar1Button3)
        HUSHGATE_NAME(Toolbar1Button4)
        HUSHGATE_NAME(Toolbar1Button5)
        HUSHGATE_NAME(cmdBlockFB)
        HUSHGATE_NAME(cmdUnblockFB)
        HUSHGATE_NAME(lblStatus)
        HUSHGATE_NAME(lblStatusEnd)
        HUSHGATE_NAME(frmAbout)
        HUSHGATE_NAME(lblTitle)
        HUSHGATE_NAME(lblVersion)
        HUSHGATE_NAME(lblVer_JP)
        HUSHGATE_NAME(lblThis)
        HUSHGATE_NAME(lblCopyright)
        HUSHGATE_NAME(lblLink)
        HUSHGATE_NAME(cmdClose)
        HUSHGATE_NAME(frmLanguage)
        HUSHGATE_NAME(lblSelect)
        HUSHGATE_NAME(cmdOK)
        HUSHGATE_NAME(cmdCancel)
        HUSHGATE_NAME(lblTranslatedByName)
        HUSHGATE_NAME(lblTranslatedByEmail)
        HUSHGATE_NAME(lblTranslatedByWeb)
#undef HUSHGATE_NAME
    }
    return "?";
}

}  // namespace hushgate::win32
