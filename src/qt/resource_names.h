// Paths of the images compiled into the program (target hushgate_qt).
// Window code refers to a picture only through these names.
#pragma once

#include <vector>

namespace hushgate::resources {

// Menu images, in menu image list order: the image at list index N is
// ":/CUSTOM/PNG_N". Each is a 16 x 16 RGBA PNG.
inline constexpr const char* kMenuExit = ":/CUSTOM/PNG_0";          // red diagonal cross
inline constexpr const char* kMenuCheckUpdates = ":/CUSTOM/PNG_1";  // green arrow up onto a bar
inline constexpr const char* kMenuLanguage = ":/CUSTOM/PNG_2";      // green flag
inline constexpr const char* kMenuWeb = ":/CUSTOM/PNG_3";           // house with a red door
inline constexpr const char* kMenuAbout = ":/CUSTOM/PNG_4";         // blue information sign

inline constexpr int kMenuImageCount = 5;
inline constexpr const char* kMenuImages[kMenuImageCount] = {
    kMenuExit, kMenuCheckUpdates, kMenuLanguage, kMenuWeb, kMenuAbout,
};
// The same drawings at 32 x 32, for screens at 200 %.
inline constexpr const char* kMenuImages2x[kMenuImageCount] = {
    ":/CUSTOM/PNG_0@2x", ":/CUSTOM/PNG_1@2x", ":/CUSTOM/PNG_2@2x",
    ":/CUSTOM/PNG_3@2x", ":/CUSTOM/PNG_4@2x",
};

// Icon groups. AAA holds 48, 32 and 16 pixel frames, first at 8 bits per
// pixel, then at 32 bits with alpha; FFF and ZZZ one 16 x 16 frame each.
inline constexpr const char* kIconMain = ":/icons/AAA.ico";      // main window
inline constexpr const char* kIconLanguage = ":/icons/FFF.ico";  // language dialog
inline constexpr const char* kIconAbout = ":/icons/ZZZ.ico";     // About dialog

// Pictures placed on the windows.
inline constexpr const char* kLogo = ":/images/logo.jpg";                // 450 x 130
inline constexpr const char* kBlockedMark = ":/images/blocked.jpg";      // 22 x 22, red cross
inline constexpr const char* kUnblockedMark = ":/images/unblocked.jpg";  // 24 x 24, green check
inline constexpr const char* kPadlockClosed =
    ":/images/padlock_closed.ico";  // 16 x 16, status: blocked
inline constexpr const char* kPadlockOpen =
    ":/images/padlock_open.ico";  // 16 x 16, status: not blocked
inline constexpr const char* kDialogWindowIcon =
    ":/images/window16.ico";  // 16 x 16, dialogs' stored icon

// The same pictures at twice the size, for screens scaled above 100 %.
inline constexpr const char* kLogo2x = ":/images/logo@2x.jpg";                     // 900 x 260
inline constexpr const char* kBlockedMark2x = ":/images/blocked@2x.jpg";           // 44 x 44
inline constexpr const char* kUnblockedMark2x = ":/images/unblocked@2x.jpg";       // 48 x 48
inline constexpr const char* kPadlockClosed2x = ":/images/padlock_closed@2x.png";  // 32 x 32
inline constexpr const char* kPadlockOpen2x = ":/images/padlock_open@2x.png";      // 32 x 32

// Mouse pointers. The link pointer is an icon, so its hot spot is its centre
// (the finger tip); the hand cursor's hot spot is stored in the file, but Qt's
// reader does not report it, so it is repeated here for QCursor.
inline constexpr const char* kLinkPointer = ":/cursors/hand.ico";  // 32 x 32, 4 bits per pixel
inline constexpr int kLinkPointerHotX = 16;
inline constexpr int kLinkPointerHotY = 16;
inline constexpr const char* kHandCursor = ":/cursors/hand.cur";  // 32 x 32, monochrome
inline constexpr int kHandCursorHotX = 6;
inline constexpr int kHandCursorHotY = 0;

// Every path above, for code that checks them all.
inline constexpr const char* kAll[] = {
    kMenuExit,        kMenuCheckUpdates, kMenuLanguage,
    kMenuWeb,         kMenuAbout,        kIconMain,
    kIconLanguage,    kIconAbout,        kLogo,
    kBlockedMark,     kUnblockedMark,    kPadlockClosed,
    kPadlockOpen,     kDialogWindowIcon, kLinkPointer,
    kHandCursor,      kLogo2x,           kBlockedMark2x,
    kUnblockedMark2x, kPadlockClosed2x,  kPadlockOpen2x,
    kMenuImages2x[0], kMenuImages2x[1],  kMenuImages2x[2],
    kMenuImages2x[3], kMenuImages2x[4],
};

// The paths of kAll that the program does not carry (empty when the
// resources are linked in). For start-up checks and tests.
std::vector<const char*> missingResources();

}  // namespace hushgate::resources
