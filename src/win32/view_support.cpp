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

// The width of an icon's pictures, or 0 for none.
int IconSide(HICON icon) {
    ICONINFO info{};
    if (icon == nullptr || !GetIconInfo(icon, &info)) {
        return 0;
    }
    BITMAP bitmap{};
    GetObjectW(info.hbmColor != nullptr ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return bitmap.bmWidth;
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

void SetWindowIcons(HWND hwnd, const wchar_t* group, int dpi) {
    // Windows 10 tells the icon sizes of each monitor's DPI; older systems
    // have one DPI for the whole screen, whose sizes GetSystemMetrics gives.
    using ForDpiFn = int(WINAPI*)(int, UINT);
    static const auto forDpi = reinterpret_cast<ForDpiFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetSystemMetricsForDpi")));
    const auto metric = [&](int index) {
        return forDpi != nullptr ? forDpi(index, static_cast<UINT>(dpi)) : GetSystemMetrics(index);
    };
    // Only the window itself: the main window keeps its own icon when a
    // dialog it owns gets another (it would otherwise show the About icon in
    // the taskbar for the rest of the run).
    HINSTANCE self = GetModuleHandleW(nullptr);
    const int sizes[2][2] = {{SM_CXICON, SM_CYICON}, {SM_CXSMICON, SM_CYSMICON}};
    const WPARAM kinds[2] = {ICON_BIG, ICON_SMALL};
    std::wstring logged;
    for (int i = 0; i < 2; ++i) {
        // Shared icons are never destroyed; the group's frames are drawn for
        // these sizes, so the system picks one instead of scaling another.
        HANDLE icon = LoadImageW(self, group, IMAGE_ICON, metric(sizes[i][0]), metric(sizes[i][1]),
                                 LR_SHARED);
        SendMessageW(hwnd, WM_SETICON, kinds[i], reinterpret_cast<LPARAM>(icon));
        if (Logging()) {
            logged += (i == 0 ? L"" : L" ") + std::to_wstring(IconSide(static_cast<HICON>(icon)));
        }
    }
    LogEvent("window-icons " + Narrow(group), logged);
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
