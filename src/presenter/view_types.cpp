#include "view_types.h"

namespace hushgate {

const char* ControlName(Control control) {
    switch (control) {
        case Control::mnuFile:
            return "mnuFile";
        case Control::mnuExit:
            return "mnuExit";
        case Control::mnuHelp:
            return "mnuHelp";
        case Control::mnuCheckUpdates:
            return "mnuCheckUpdates";
        case Control::mnuLanguage:
            return "mnuLanguage";
        case Control::mnuDonate:
            return "mnuDonate";
        case Control::mnuWeb:
            return "mnuWeb";
        case Control::mnuAbout:
            return "mnuAbout";
        case Control::mnuFacebook:
            return "mnuFacebook";
        case Control::Toolbar1Button2:
            return "Toolbar1Button2";
        case Control::Toolbar1Button3:
            return "Toolbar1Button3";
        case Control::Toolbar1Button4:
            return "Toolbar1Button4";
        case Control::Toolbar1Button5:
            return "Toolbar1Button5";
        case Control::cmdBlockFB:
            return "cmdBlockFB";
        case Control::cmdUnblockFB:
            return "cmdUnblockFB";
        case Control::lblStatus:
            return "lblStatus";
        case Control::lblStatusEnd:
            return "lblStatusEnd";
        case Control::frmAbout:
            return "frmAbout";
        case Control::lblTitle:
            return "lblTitle";
        case Control::lblVersion:
            return "lblVersion";
        case Control::lblVer_JP:
            return "lblVer_JP";
        case Control::lblThis:
            return "lblThis";
        case Control::lblCopyright:
            return "lblCopyright";
        case Control::lblLink:
            return "lblLink";
        case Control::cmdClose:
            return "cmdClose";
        case Control::frmLanguage:
            return "frmLanguage";
        case Control::lblSelect:
            return "lblSelect";
        case Control::cmdOK:
            return "cmdOK";
        case Control::cmdCancel:
            return "cmdCancel";
        case Control::lblTranslatedByName:
            return "lblTranslatedByName";
        case Control::lblTranslatedByEmail:
            return "lblTranslatedByEmail";
        case Control::lblTranslatedByWeb:
            return "lblTranslatedByWeb";
    }
    return "";
}

}  // namespace hushgate
