#include "ui/MainWindow.h"

#include "ui/MainLayout.h"

namespace tolvex::ui {
namespace {

constexpr wchar_t kClassName[] = L"TolvexMainWindow";
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;  // fixed border, no maximize
constexpr DWORD kExStyle = 0;

HICON LoadIconOfSize(HINSTANCE instance, int id, int widthMetric, int heightMetric) {
    return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON, GetSystemMetrics(widthMetric),
                                         GetSystemMetrics(heightMetric), LR_SHARED));
}

bool RegisterMainClass(HINSTANCE instance, int iconId, WNDPROC windowProc) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = windowProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconOfSize(instance, iconId, SM_CXICON, SM_CYICON);
    wc.hIconSm = LoadIconOfSize(instance, iconId, SM_CXSMICON, SM_CYSMICON);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kClassName;
    return RegisterClassExW(&wc) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

int DisplayDpi() {
    ScreenDC screen;
    const int dpi = screen.Get() ? GetDeviceCaps(screen.Get(), LOGPIXELSY) : 0;
    return dpi > 0 ? dpi : 96;
}

HGDIOBJ CreateMessageFont() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) return nullptr;
    return CreateFontIndirectW(&metrics.lfMessageFont);
}

// Where a window of this outer size stands centred on the primary screen's work area.
POINT CentredOrigin(int width, int height) {
    RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    return POINT{area.left + (area.right - area.left - width) / 2, area.top + (area.bottom - area.top - height) / 2};
}

// A copy of the bitmap at the given size, smoothly resampled; null when it already has that
// size or the copy cannot be made (the original then serves at its natural size).
HGDIOBJ ScaleBitmap(HBITMAP source, int width, int height) {
    BITMAP info{};
    if (!GetObjectW(source, sizeof(info), &info) || width <= 0 || height <= 0) return nullptr;
    if (info.bmWidth == width && info.bmHeight == height) return nullptr;

    ScreenDC screen;
    HDC from = CreateCompatibleDC(screen.Get());
    HDC to = CreateCompatibleDC(screen.Get());
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof(format.bmiHeader);
    format.bmiHeader.biWidth = width;
    format.bmiHeader.biHeight = height;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 24;
    format.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP target = from && to ? CreateDIBSection(screen.Get(), &format, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
    if (target) {
        HGDIOBJ oldFrom = SelectObject(from, source);
        HGDIOBJ oldTo = SelectObject(to, target);
        SetStretchBltMode(to, HALFTONE);
        SetBrushOrgEx(to, 0, 0, nullptr);
        const BOOL drawn = StretchBlt(to, 0, 0, width, height, from, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
        SelectObject(from, oldFrom);
        SelectObject(to, oldTo);
        if (!drawn) {
            DeleteObject(target);
            target = nullptr;
        }
    }
    if (from) DeleteDC(from);
    if (to) DeleteDC(to);
    return target;
}

}  // namespace

bool MainWindow::Create(HINSTANCE instance, Launcher& launcher, const MainWindowResources& resources) {
    instance_ = instance;
    launcher_ = &launcher;
    resources_ = resources;
    dpi_ = DisplayDpi();
    if (!RegisterMainClass(instance, resources.iconId, &MainWindow::WindowProc)) return false;

    RECT frame{0, 0, TwipsToPixels(kClientWidthTwips), TwipsToPixels(kClientHeightTwips)};
    if (!AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle)) return false;
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    const POINT origin = CentredOrigin(width, height);
    return CreateWindowExW(kExStyle, kClassName, kMainCaption, kStyle, origin.x, origin.y, width, height, nullptr,
                           nullptr, instance, this) != nullptr;
}

void MainWindow::Show(int showCommand) {
    ShowWindow(hwnd_, showCommand);
    UpdateWindow(hwnd_);
}

LRESULT CALLBACK MainWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
        self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);

    // No C++ exception may unwind into Windows' frames. What reaches here is a failure that
    // could not even be shown as a warning: the menu cannot go on, so it closes.
    try {
        const LRESULT result = self->HandleMessage(message, wParam, lParam);
        if (message == WM_NCDESTROY) self->hwnd_ = nullptr;
        return result;
    } catch (...) {
        self->endedByFailure_ = true;
        if (message != WM_DESTROY && message != WM_NCDESTROY) DestroyWindow(hwnd);
        return 0;
    }
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            return OnCreate() ? 0 : -1;
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
            return 0;
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE && !HIWORD(wParam)) {
                OnActivate();
                return 0;
            }
            break;
        case WM_DESTROY:
            OnDestroy();
            return 0;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

bool MainWindow::OnCreate() {
    font_.Reset(CreateMessageFont());
    banner_.Reset(
        LoadImageW(instance_, MAKEINTRESOURCEW(resources_.bannerId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!banner_) return false;

    // Created in tab order: z-order is what Tab follows.
    for (const ControlLayout& control : kControlsInTabOrder) {
        const RECT bounds{TwipsToPixels(control.bounds.left), TwipsToPixels(control.bounds.top),
                          TwipsToPixels(control.bounds.left + control.bounds.width),
                          TwipsToPixels(control.bounds.top + control.bounds.height)};
        const bool created =
            control.kind == ControlKind::Banner ? CreateBanner(bounds) : CreateButton(control.index, bounds);
        if (!created) return false;
    }
    return true;
}

bool MainWindow::CreateBanner(const RECT& bounds) {
    const int width = bounds.right - bounds.left;
    const int height = bounds.bottom - bounds.top;
    // Not a tab stop: the banner never takes the focus.
    HWND banner = CreateWindowExW(WS_EX_CLIENTEDGE, L"STATIC", nullptr, WS_CHILD | WS_VISIBLE | SS_BITMAP, bounds.left,
                                  bounds.top, width, height, hwnd_,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(kBannerId)), instance_, nullptr);
    if (!banner) return false;

    // At other densities than 96 dpi the box is larger or smaller than the picture: the
    // picture is scaled smoothly to fill the box inside its border.
    RECT inside{};
    GetClientRect(banner, &inside);
    UniqueBitmap scaled(ScaleBitmap(static_cast<HBITMAP>(banner_.Get()), inside.right, inside.bottom));
    if (scaled) banner_ = std::move(scaled);

    SendMessageW(banner, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(banner_.Get()));
    // SS_BITMAP resizes the control to the picture plus its border; the layout's box holds.
    return SetWindowPos(banner, nullptr, bounds.left, bounds.top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

bool MainWindow::CreateButton(ChoiceIndex index, const RECT& bounds) {
    const std::wstring caption(LookUpChoice(index).caption);
    HWND button =
        CreateWindowExW(0, L"BUTTON", caption.c_str(), WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, bounds.left,
                        bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top, hwnd_,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(ButtonId(index))), instance_, nullptr);
    if (!button || buttonCount_ == buttons_.size()) return false;
    if (font_) SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
    buttons_[buttonCount_++] = Button{index, button};
    return true;
}

std::optional<ChoiceIndex> MainWindow::ChoiceOfButton(HWND control) const {
    for (std::size_t i = 0; i < buttonCount_; ++i) {
        if (control && buttons_[i].hwnd == control) return buttons_[i].index;
    }
    return std::nullopt;
}

void MainWindow::OnCommand(int id, int notification, HWND control) {
    std::optional<ChoiceIndex> choice;
    if (id == IDOK) {
        // Enter, as the dialog manager reports it: no button is the default, so Enter
        // presses whichever button has the focus.
        choice = ChoiceOfButton(GetFocus());
    } else if (notification == BN_CLICKED) {
        choice = ChoiceOfButton(control);
    }
    // IDCANCEL (Escape) finds no cancel button and does nothing.
    if (choice) launcher_->RunChoice(*choice);
}

void MainWindow::OnActivate() {
    // The first button takes the focus at start and whenever the menu comes back to the front.
    if (buttonCount_ > 0) SetFocus(buttons_[0].hwnd);
}

void MainWindow::OnDestroy() { PostQuitMessage(endedByFailure_ ? 1 : 0); }

}  // namespace tolvex::ui
