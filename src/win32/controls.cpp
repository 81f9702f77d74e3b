#include "controls.h"

#include <oleacc.h>

#include <tuple>

#include "accessible_role.h"

namespace hushgate::win32 {

namespace {

constexpr wchar_t kLabelClass[] = L"HushgateLabel";
constexpr wchar_t kPanelClass[] = L"HushgatePanel";
constexpr wchar_t kPictureClass[] = L"HushgatePicture";

COLORREF backgroundColour(int background) {
    return background < 0 ? RGB(255, 255, 255) : GetSysColor(background);
}

void fill(HDC dc, const RECT& rect, int background) {
    SetBkColor(dc, backgroundColour(background));
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
}

// Starts a WM_PAINT with the whole client area filled in `background`.
HDC beginFilledPaint(HWND hwnd, PAINTSTRUCT& paint, RECT& client, int background) {
    HDC dc = BeginPaint(hwnd, &paint);
    GetClientRect(hwnd, &client);
    fill(dc, client, background);
    return dc;
}

template <typename State>
State* stateOf(HWND hwnd) {
    return reinterpret_cast<State*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

template <typename State>
LRESULT adopt(HWND hwnd, LPARAM lParam) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    auto* state = new State(*static_cast<const State*>(create->lpCreateParams));
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
    return TRUE;
}

template <typename State>
void release(HWND hwnd) {
    delete stateOf<State>(hwnd);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
}

// A control's state, a copy of what its creator passed, comes with
// WM_NCCREATE and goes with WM_NCDESTROY; in between this finds it.
template <typename State>
State* trackState(HWND hwnd, UINT message, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        adopt<State>(hwnd, lParam);
    } else if (message == WM_NCDESTROY) {
        release<State>(hwnd);
        return nullptr;
    }
    return stateOf<State>(hwnd);
}

UINT textFormat(const LabelStyle& style) {
    UINT format = DT_NOPREFIX | (style.alignRight ? DT_RIGHT : DT_LEFT);
    return format | (style.wrap ? DT_WORDBREAK : DT_SINGLELINE);
}

LRESULT CALLBACK labelProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* style = trackState<LabelStyle>(hwnd, message, lParam);
    switch (message) {
        case WM_SETTEXT: {
            const LRESULT result = DefWindowProcW(hwnd, message, wParam, lParam);
            InvalidateRect(hwnd, nullptr, TRUE);
            return result;
        }
        case WM_ERASEBKGND:
            return TRUE;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            RECT client;
            HDC dc = beginFilledPaint(hwnd, paint, client, style->background);
            SetBkMode(dc, TRANSPARENT);
            const COLORREF colour = style->colour == CLR_INVALID
                                        ? (IsWindowEnabled(hwnd) ? GetSysColor(COLOR_WINDOWTEXT)
                                                                 : GetSysColor(COLOR_GRAYTEXT))
                                        : style->colour;
            SetTextColor(dc, colour);
            HGDIOBJ old =
                SelectObject(dc, style->font ? style->font : GetStockObject(DEFAULT_GUI_FONT));
            std::wstring text = WindowText(hwnd);
            DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &client, textFormat(*style));
            SelectObject(dc, old);
            EndPaint(hwnd, &paint);
            return 0;
        }
        case WM_SETCURSOR:
            if (style->cursor != nullptr && LOWORD(lParam) == HTCLIENT) {
                SetCursor(style->cursor);
                return TRUE;
            }
            break;
        case WM_GETOBJECT:
            // Read as text, or as a link when it is one.
            return AnswerWithRole(
                hwnd, wParam, lParam,
                style->cursor != nullptr ? ROLE_SYSTEM_LINK : ROLE_SYSTEM_STATICTEXT);
        case WM_NCHITTEST:
            // Plain labels let clicks through to what lies below, as statics do.
            if (style->cursor == nullptr) {
                return HTTRANSPARENT;
            }
            break;
        case WM_LBUTTONUP:
            if (style->cursor != nullptr && !WindowText(hwnd).empty()) {
                SendMessageW(GetParent(hwnd), WM_COMMAND,
                             MAKEWPARAM(GetDlgCtrlID(hwnd), STN_CLICKED),
                             reinterpret_cast<LPARAM>(hwnd));
            }
            return 0;
        default:
            break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

struct PanelState {
    PanelStyle style;
    bool focusable = false;
};

LRESULT CALLBACK panelProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = trackState<PanelState>(hwnd, message, lParam);
    switch (message) {
        case WM_ERASEBKGND: {
            RECT client;
            GetClientRect(hwnd, &client);
            fill(reinterpret_cast<HDC>(wParam), client, state->style.background);
            return TRUE;
        }
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(hwnd, &paint);
            if (state->style.lineY >= 0) {
                RECT client;
                GetClientRect(hwnd, &client);
                RECT line{0, state->style.lineY, client.right, state->style.lineY + 1};
                SetBkColor(dc, RGB(128, 128, 128));
                ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &line, nullptr, 0, nullptr);
            }
            EndPaint(hwnd, &paint);
            return 0;
        }
        case WM_LBUTTONDOWN:
            // Clicking the panel takes the focus off the buttons, as in the
            // window's other empty places.
            if (state->focusable) {
                SetFocus(hwnd);
            }
            return 0;
        case WM_COMMAND:
        case WM_NOTIFY:
            return SendMessageW(GetParent(hwnd), message, wParam, lParam);
        default:
            break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

struct PictureState {
    int background = -1;
    HBITMAP bitmap = nullptr;
};

LRESULT CALLBACK pictureProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (auto* ending = stateOf<PictureState>(hwnd);
        message == WM_NCDESTROY && ending != nullptr && ending->bitmap != nullptr) {
        DeleteObject(ending->bitmap);
    }
    auto* state = trackState<PictureState>(hwnd, message, lParam);
    switch (message) {
        case WM_NCHITTEST:
            return HTTRANSPARENT;
        case WM_GETOBJECT:
            // A picture, named by its window text.
            return AnswerWithRole(hwnd, wParam, lParam, ROLE_SYSTEM_GRAPHIC);
        case WM_ERASEBKGND:
            return TRUE;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            RECT client;
            HDC dc = beginFilledPaint(hwnd, paint, client, state->background);
            BITMAP info{};
            if (state->bitmap != nullptr && GetObjectW(state->bitmap, sizeof info, &info) != 0) {
                HDC source = CreateCompatibleDC(dc);
                HGDIOBJ old = SelectObject(source, state->bitmap);
                const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
                AlphaBlend(dc, 0, 0, info.bmWidth, info.bmHeight, source, 0, 0, info.bmWidth,
                           info.bmHeight, blend);
                SelectObject(source, old);
                DeleteDC(source);
            }
            EndPaint(hwnd, &paint);
            return 0;
        }
        default:
            break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

void registerClass(const wchar_t* name, WNDPROC procedure) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = name;
    RegisterClassExW(&windowClass);
}

HWND createChild(const wchar_t* windowClass, HWND parent, int id, const wchar_t* text, DWORD style,
                 DWORD exStyle, void* state) {
    return CreateWindowExW(exStyle, windowClass, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0,
                           parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleW(nullptr), state);
}

}  // namespace

std::wstring WindowText(HWND hwnd) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(
        static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

void Place(HWND control, int left, int top, int width, int height) {
    SetWindowPos(control, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void RegisterControlClasses() {
    registerClass(kLabelClass, labelProcedure);
    registerClass(kPanelClass, panelProcedure);
    registerClass(kPictureClass, pictureProcedure);
}

HWND CreateButton(HWND parent, int id, const wchar_t* text, bool isDefault) {
    return CreateWindowExW(
        0, L"BUTTON", text,
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | (isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), 0, 0,
        0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr),
        nullptr);
}

HWND CreateLabel(HWND parent, int id, const std::wstring& text, const LabelStyle& style) {
    LabelStyle copy = style;
    return createChild(kLabelClass, parent, id, text.c_str(), 0, 0, &copy);
}

void SetLabelFont(HWND label, HFONT font) {
    if (auto* style = stateOf<LabelStyle>(label)) {
        style->font = font;
        InvalidateRect(label, nullptr, TRUE);
    }
}

SIZE MeasureLabel(HWND label) {
    const auto* style = stateOf<LabelStyle>(label);
    HDC dc = GetDC(label);
    HGDIOBJ old = SelectObject(dc, style->font ? style->font : GetStockObject(DEFAULT_GUI_FONT));
    RECT rect{};
    if (style->wrap) {
        GetClientRect(label, &rect);
    }
    const std::wstring text = WindowText(label);
    if (text.empty()) {
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc, &metrics);
        rect.right = 0;
        rect.bottom = metrics.tmHeight;
    } else {
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect,
                  textFormat(*style) | DT_CALCRECT);
    }
    SelectObject(dc, old);
    ReleaseDC(label, dc);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

HWND CreatePanel(HWND parent, int id, const PanelStyle& style, bool focusable) {
    PanelState state{style, focusable};
    return createChild(kPanelClass, parent, id, L"", WS_CLIPCHILDREN | (focusable ? WS_TABSTOP : 0),
                       style.sunken ? WS_EX_CLIENTEDGE | WS_EX_CONTROLPARENT : WS_EX_CONTROLPARENT,
                       &state);
}

void SetPanelLine(HWND panel, int lineY) {
    if (auto* state = stateOf<PanelState>(panel)) {
        state->style.lineY = lineY;
        InvalidateRect(panel, nullptr, TRUE);
    }
}

HWND CreatePicture(HWND parent, int id, int background) {
    PictureState state{background, nullptr};
    return createChild(kPictureClass, parent, id, L"", 0, 0, &state);
}

void SetPictureBitmap(HWND picture, HBITMAP bitmap) {
    if (auto* state = stateOf<PictureState>(picture)) {
        if (state->bitmap != nullptr) {
            DeleteObject(state->bitmap);
        }
        state->bitmap = bitmap;
        InvalidateRect(picture, nullptr, TRUE);
    }
}

bool FontChoice::operator<(const FontChoice& other) const {
    return std::tie(face, hundredthPoints, bold, underline, characterSet) <
           std::tie(other.face, other.hundredthPoints, other.bold, other.underline,
                    other.characterSet);
}

FontSet::~FontSet() {
    clear(fonts_);
    clear(retired_);
}

void FontSet::clear(std::map<FontChoice, HFONT>& fonts) {
    for (auto& [choice, font] : fonts) {
        DeleteObject(font);
    }
    fonts.clear();
}

void FontSet::reset(int dpi) {
    clear(retired_);
    retired_ = std::move(fonts_);
    fonts_.clear();
    dpi_ = dpi;
}

HFONT FontSet::get(const FontChoice& choice) {
    if (auto found = fonts_.find(choice); found != fonts_.end()) {
        return found->second;
    }
    LOGFONTW description{};
    description.lfHeight = -MulDiv(choice.hundredthPoints, dpi_, 7200);
    description.lfWeight = choice.bold ? FW_BOLD : FW_NORMAL;
    description.lfUnderline = choice.underline ? TRUE : FALSE;
    description.lfCharSet = static_cast<BYTE>(choice.characterSet);
    description.lfOutPrecision = OUT_DEFAULT_PRECIS;
    description.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    description.lfQuality = DEFAULT_QUALITY;
    description.lfPitchAndFamily = DEFAULT_PITCH | FF_SWISS;
    lstrcpynW(description.lfFaceName, choice.face.c_str(), LF_FACESIZE);
    HFONT font = CreateFontIndirectW(&description);
    fonts_.emplace(choice, font);
    return font;
}

}  // namespace hushgate::win32
