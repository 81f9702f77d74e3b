// The layouts of the main window and its two dialogs, the ones both front
// ends lay themselves out from: each control's rectangle in twips (1/1440
// inch; 15 make a pixel at 96 dots per inch), its base font, and the rules
// that move controls once their texts are known. Plain data; each window
// turns twips into its own pixels.
#pragma once

namespace hushgate::layout {

struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    constexpr int right() const { return x + width; }
};

// The windows' own face. The Win32 window makes it; the Qt window stands in
// the platform's dialog face for it.
inline constexpr const char* kDialogFace = "MS Sans Serif";

// A control's base font. The Win32 window makes exactly this font; the Qt
// window takes the size, the weight, the underline and any face but the
// dialog face, and leaves the character set to Qt.
struct Font {
    const char* face = kDialogFace;
    int hundredthPoints = 825;  // 8.25 pt
    bool bold = false;
    bool underline = false;
    int characterSet = 1;  // the system's default
};

namespace main_window {

inline constexpr Rect kClient{0, 0, 8880, 4440};
// Every control's font unless named below: the window's own.
inline constexpr Font kFont{};

inline constexpr Rect kToolbar{0, 0, 8880, 420};
// The home-page address over the toolbar's right end, in a holder there.
// Right-anchored: its right edge stays and a longer address grows to the
// left.
inline constexpr Rect kLinkHolder{6360, 0, 2415, 375};
inline constexpr Rect kLink{480, 120, 1845, 195};  // in the holder
inline constexpr int kLinkRight = kLinkHolder.x + kLink.right();
inline constexpr Font kLinkFont{"MS Sans Serif", 825, false, true, 204};

// The white panel, and the logo and the marks inside it.
inline constexpr Rect kPanel{40, 460, 8775, 3135};
inline constexpr Rect kLogo{960, 600, 6750, 1950};
inline constexpr Rect kUnblockedMark{7320, 1800, 360, 360};
inline constexpr Rect kBlockedMark{7320, 1800, 330, 330};

// The status line: a padlock, the status text and the state word after it.
// Both texts size themselves; once the texts are in, the state word moves
// to kStatusEndGap after the status text (its left edge stays there after
// that). Its character set is the language's when the texts give one.
inline constexpr Rect kPadlock{120, 3900, 240, 240};
inline constexpr Rect kStatus{480, 3945, 1410, 195};
inline constexpr Rect kStatusEnd{2000, 3945, 750, 195};
inline constexpr int kStatusEndGap = 70;
inline constexpr Font kStatusEndFont{"MS Sans Serif", 825, true, false, 204};

inline constexpr Rect kBlock{4560, 3720, 2055, 495};
inline constexpr Rect kUnblock{6795, 3720, 1935, 495};

}  // namespace main_window

namespace about_dialog {

inline constexpr Rect kClient{0, 0, 4920, 2850};
inline constexpr Font kFont{};

// The white panel, wider than the dialog so that it fills it edge to edge,
// and its grey lower edge, one pixel high.
inline constexpr Rect kPanel{0, 0, 6135, 2055};
inline constexpr Rect kPanelLine{0, 2040, 6960, 0};

inline constexpr Rect kTitle{240, 240, 3975, 375};
inline constexpr Font kTitleFont{"Arial", 975, true, false, 204};
// "Version:" sizes itself; once the texts are in, the number moves to
// kVersionGap after it.
inline constexpr Rect kVersion{240, 480, 570, 195};
inline constexpr Rect kVersionNumber{840, 480, 855, 255};
inline constexpr int kVersionGap = 40;
inline constexpr Rect kThis{255, 840, 4440, 435};
// The copyright line and the link under it are right-anchored: each keeps
// its right edge and grows to the left.
inline constexpr Rect kCopyright{2880, 1440, 1845, 195};
inline constexpr Rect kLink{2880, 1680, 1845, 195};
inline constexpr Font kLinkFont{"MS Sans Serif", 825, false, true, 204};
inline constexpr Rect kClose{3120, 2160, 1575, 495};

}  // namespace about_dialog

namespace language_dialog {

inline constexpr Rect kClient{0, 0, 3255, 2655};
inline constexpr Font kFont{};

// The labels size themselves to their texts and grow to the right.
inline constexpr Rect kSelect{240, 120, 495, 195};
inline constexpr Rect kList{240, 360, 1815, 315};
inline constexpr Rect kTranslatorName{240, 1080, 585, 195};
inline constexpr Font kTranslatorNameFont{"MS Sans Serif", 825, true, false, 204};
inline constexpr Rect kTranslatorEmail{240, 1320, 495, 195};
inline constexpr Rect kTranslatorWeb{240, 1560, 435, 195};
inline constexpr Font kTranslatorWebFont{"MS Sans Serif", 825, false, true, 204};
inline constexpr Rect kApply{240, 2040, 1335, 375};
inline constexpr Rect kCancel{1680, 2040, 1335, 375};

}  // namespace language_dialog

}  // namespace hushgate::layout
