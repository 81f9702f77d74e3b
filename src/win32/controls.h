#pragma once

#include <windows.h>

#include <map>
#include <string>

namespace hushgate::win32 {

// The program's own small controls, drawn by us so that each shows exactly
// what the layout asks for (colours, transparent text on a white panel,
// underlined links, pictures with alpha), and each keeps its caption as
// window text, so GetWindowTextW and accessibility tools read it.
//   Label:   text in a font and colour, left or right aligned, optionally
//            wrapping; a link label sends WM_COMMAND (id, STN_CLICKED) to its
//            parent when clicked and shows its own mouse pointer.
//   Panel:   a container with a solid background, optionally sunken, that
//            passes its children's commands on to its parent; it can hold
//            the keyboard focus without showing it.
//   Picture: a premultiplied 32-bit bitmap drawn with its alpha.
void RegisterControlClasses();

struct LabelStyle {
    HFONT font = nullptr;           // not owned
    COLORREF colour = CLR_INVALID;  // CLR_INVALID: the system's text colour
    int background = COLOR_3DFACE;  // a system colour index, or -1 for white
    bool alignRight = false;
    bool wrap = false;
    HCURSOR cursor = nullptr;  // non-null: a link (clickable)
};

// A window's text (a control's caption, a dialog's title).
std::wstring WindowText(HWND hwnd);

// Places `control` at a rectangle given in pixels.
void Place(HWND control, int left, int top, int width, int height);

// A system push button; `isDefault` gives it the default button's look.
HWND CreateButton(HWND parent, int id, const wchar_t* text, bool isDefault);

HWND CreateLabel(HWND parent, int id, const std::wstring& text, const LabelStyle& style);
void SetLabelFont(HWND label, HFONT font);
// The size the label's text needs in its font, in pixels (one line unless
// the label wraps, then as high as its width makes it).
SIZE MeasureLabel(HWND label);

struct PanelStyle {
    int background = -1;  // a system colour index, or -1 for white
    bool sunken = false;
    // A grey (128, 128, 128) line across the panel at this y, or -1.
    int lineY = -1;
};
HWND CreatePanel(HWND parent, int id, const PanelStyle& style, bool focusable);
void SetPanelLine(HWND panel, int lineY);

HWND CreatePicture(HWND parent, int id, int background);
// Takes ownership of `bitmap` (a premultiplied 32-bit DIB), deleting the old.
void SetPictureBitmap(HWND picture, HBITMAP bitmap);

// Fonts of one window at one DPI, made on demand and deleted with the set.
// A font as the layouts give it (FontOf in view_support.h makes one).
struct FontChoice {
    std::wstring face;
    int hundredthPoints = 0;  // 825: 8.25 pt
    bool bold = false;
    bool underline = false;
    int characterSet = DEFAULT_CHARSET;
    bool operator<(const FontChoice& other) const;
};

class FontSet {
public:
    FontSet() = default;
    ~FontSet();
    FontSet(const FontSet&) = delete;
    FontSet& operator=(const FontSet&) = delete;

    // New fonts for `dpi` from now on. The fonts made so far stay until the
    // next reset, so controls can be given the new ones first.
    void reset(int dpi);
    HFONT get(const FontChoice& choice);

private:
    static void clear(std::map<FontChoice, HFONT>& fonts);
    int dpi_ = 96;
    std::map<FontChoice, HFONT> fonts_;
    std::map<FontChoice, HFONT> retired_;
};

}  // namespace hushgate::win32
