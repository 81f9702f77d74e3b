#pragma once

#include <windows.h>

#include "window_layout.h"

namespace hushgate::win32 {

// A window made from an empty dialog template: the dialog manager then gives
// it what users expect of a dialog (Tab and Shift+Tab between controls,
// Enter for the default button or the focused one, Esc, access keys, the
// default button's look following the focus). Its controls are made in code,
// placed from the layouts in twips at the window's DPI.
class DialogWindow {
public:
    DialogWindow() = default;
    virtual ~DialogWindow();
    DialogWindow(const DialogWindow&) = delete;
    DialogWindow& operator=(const DialogWindow&) = delete;

    HWND hwnd() const { return hwnd_; }
    // The window's dots per inch (96 at 100 %).
    int dpi() const { return dpi_; }
    // Twips to pixels at the window's DPI: 15 twips a pixel at 96 DPI.
    int px(int twips) const { return MulDiv(twips, dpi_, 1440); }
    // Places `control` on the layout's rectangle at the window's DPI.
    void place(HWND control, const layout::Rect& twips) const;

    // Hands `message` to the dialog manager of the program window it is
    // for; true when that handled it (the loop then dispatches nothing).
    // F10 opens the window's first menu with its first item highlighted.
    static bool PreTranslate(MSG& message);

protected:
    // Makes the window (hidden); `onCreate` then runs inside WM_INITDIALOG.
    bool create(HWND owner, DWORD style, DWORD exStyle);
    // Gives the window this client size, in twips at its DPI.
    void setClientTwips(int width, int height);
    // Centres the window on `over` (a window), or on its monitor's work area
    // when `over` is null.
    void centreOn(HWND over);
    void destroy();

    virtual void onCreate() = 0;
    // The DPI changed (the window moved to another monitor): place and size
    // everything again.
    virtual void onDpiChanged() {}
    // Returns true when it handled `message` and set `result`.
    virtual bool handle(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) = 0;

private:
    static bool openFirstMenu(HWND root);
    static bool toolbarKey(HWND toolbar, WPARAM key);
    static INT_PTR CALLBACK procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    HWND hwnd_ = nullptr;
    int dpi_ = 96;
    int clientWidthTwips_ = 0;
    int clientHeightTwips_ = 0;
};

// The DPI of `hwnd` where Windows tells it per window, else the screen's.
int WindowDpi(HWND hwnd);

}  // namespace hushgate::win32
