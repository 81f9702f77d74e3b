#include "view_support.h"

#include "controls.h"
#include "seams.h"
#include "win32_text.h"

namespace hushgate::win32 {

namespace {

UINT messageBoxType(const Message& message) {
    UINT type = message.buttons == MessageButtons::YesNo ? MB_YESNO : MB_OK;
    switch (message.icon) {
        case MessageIcon::Information:
            return type | MB_ICONINFORMATION;
        case MessageIcon::Warning:
            return type | MB_ICONEXCLAMATION;
        case MessageIcon::Critical:
            return type | MB_ICONERROR;
        case MessageIcon::Question:
            return type | MB_ICONQUESTION;
    }
    return type;
}

}  // namespace

MessageAnswer ShowViewMessage(HWND owner, const Message& message) {
    const int answer =
        ShowMessageBox(owner, ToWide(message.text), ToWide(message.title), messageBoxType(message));
    return answer == IDYES ? MessageAnswer::Yes
                           : (answer == IDNO ? MessageAnswer::No : MessageAnswer::Ok);
}

void LogWindowText(std::string_view window, Control control, HWND hwnd) {
    LogEvent("text " + std::string(window) + "." + ControlName(control), WindowText(hwnd));
}

void SetWindowIcons(HWND hwnd, const wchar_t* group) {
    // Only the window itself: the main window keeps its own icon when a
    // dialog it owns gets another (it would otherwise show the About icon in
    // the taskbar for the rest of the run).
    HINSTANCE self = GetModuleHandleW(nullptr);
    const int sizes[2][2] = {{SM_CXICON, SM_CYICON}, {SM_CXSMICON, SM_CYSMICON}};
    const WPARAM kinds[2] = {ICON_BIG, ICON_SMALL};
    for (int i = 0; i < 2; ++i) {
        HANDLE icon = LoadImageW(self, group, IMAGE_ICON, GetSystemMetrics(sizes[i][0]),
                                 GetSystemMetrics(sizes[i][1]), LR_SHARED);
        SendMessageW(hwnd, WM_SETICON, kinds[i], reinterpret_cast<LPARAM>(icon));
    }
}

void ApplyTextSteps(const TextSteps& steps, std::map<Control, int>& characterSets,
                    const std::function<HWND(Control)>& controlOf) {
    for (const TextStep& step : steps) {
        if (step.characterSet) {
            characterSets[step.control] = *step.characterSet;
        }
        if (HWND control = controlOf(step.control); control != nullptr && step.text) {
            SetWindowTextW(control, ToWide(*step.text).c_str());
        }
    }
}

FontChoice FontOf(const layout::Font& font) {
    return {Widen(font.face), font.hundredthPoints, font.bold, font.underline, font.characterSet};
}

FontChoice InCharacterSetOf(FontChoice choice, const std::map<Control, int>& characterSets,
                            Control control) {
    if (const auto charset = characterSets.find(control); charset != characterSets.end()) {
        choice.characterSet = charset->second;
    }
    return choice;
}

}  // namespace hushgate::win32
