// The About window in plain Win32 and GDI.
#include <windows.h>
#include <shellapi.h>

#include "platform/about_window.h"
#include "resources/resource_ids.h"

LRESULT CALLBACK aboutWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

namespace {

// Set during construction, read by the window procedure.
HWND gMainWindow = nullptr;
HBITMAP gLogo = nullptr;
HWND gInfoControl = nullptr;
HWND gTitleControl = nullptr;
HWND gButton = nullptr;

HFONT createFont(const about::FontSpec& spec) {
    return CreateFontA(spec.height, spec.width, 0, 0, spec.weight, FALSE, spec.underline ? TRUE : FALSE, FALSE,
                       DEFAULT_CHARSET, OUT_OUTLINE_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, VARIABLE_PITCH,
                       spec.face);
}

HWND createControl(const char* windowClass, const char* text, DWORD style, const about::Rect& rect, int id,
                   HINSTANCE instance) {
    if (!gMainWindow) return nullptr;
    return CreateWindowExA(0, windowClass, text, style, rect.x, rect.y, rect.width, rect.height, gMainWindow,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
}

void setFont(HWND control, HFONT font) {
    if (control) SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

COLORREF colorRef(std::uint32_t c) { return static_cast<COLORREF>(c); }

void paint(HWND window) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    if (!dc) return;

    RECT client;
    GetClientRect(window, &client);
    SetBkColor(dc, colorRef(about::kBackgroundColor));
    ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &client, "", 0, nullptr);

    if (gLogo) {
        HDC memory = CreateCompatibleDC(dc);
        if (memory) {
            HGDIOBJ previous = SelectObject(memory, gLogo);
            BITMAP info{};
            if (GetObjectA(gLogo, sizeof info, &info) != 0) {
                BitBlt(dc, about::kLogoX, about::kLogoY, info.bmWidth, info.bmHeight, memory, 0, 0, SRCCOPY);
            }
            SelectObject(memory, previous);
            DeleteDC(memory);
        }
    }
    EndPaint(window, &ps);
}

}  // namespace

LRESULT CALLBACK aboutWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // Kept for the rest of the process.
    static HBRUSH backgroundBrush = CreateSolidBrush(colorRef(about::kBackgroundColor));

    switch (message) {
        case WM_DESTROY:
            if (gLogo) {
                DeleteObject(gLogo);
                gLogo = nullptr;
            }
            PostQuitMessage(0);
            return 0;
        case WM_PAINT: paint(window); return 0;
        case WM_CLOSE: DestroyWindow(gMainWindow ? gMainWindow : window); return 0;
        case WM_COMMAND:
            // Control id 10 with notification 0 (BN_CLICKED). The info text
            // shares the id but, without SS_NOTIFY, never sends commands.
            if (wParam == static_cast<WPARAM>(about::kButtonId)) {
                ShellExecuteA(gMainWindow, "open", AboutWindow::siteUrl, nullptr, nullptr, SW_SHOWNORMAL);
            }
            return 0;
        case WM_CTLCOLORSTATIC: {
            HDC dc = reinterpret_cast<HDC>(wParam);
            const bool isTitle = reinterpret_cast<HWND>(lParam) == gTitleControl;
            SetTextColor(dc, colorRef(isTitle ? about::kTitleTextColor : about::kInfoTextColor));
            SetBkColor(dc, colorRef(about::kBackgroundColor));
            return reinterpret_cast<LRESULT>(backgroundBrush);
        }
        default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

AboutWindow::AboutWindow(void* instanceHandle, int showCommand) {
    HINSTANCE instance = static_cast<HINSTANCE>(instanceHandle);

    // 1. The class icon: the system's information icon from user32.dll.
    HMODULE user32 = GetModuleHandleA("user32.dll");
    if (!user32) user32 = LoadLibraryA("user32.dll");
    HICON icon =
        user32 ? static_cast<HICON>(LoadImageA(user32, MAKEINTRESOURCEA(104), IMAGE_ICON, 16, 16, LR_SHARED)) : nullptr;

    // 2. The window class.
    WNDCLASSA windowClass{};
    windowClass.style = 0;
    windowClass.lpfnWndProc = aboutWindowProc;
    windowClass.cbClsExtra = 0;
    windowClass.cbWndExtra = 0;
    windowClass.hInstance = instance;
    windowClass.hIcon = icon;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
    windowClass.lpszMenuName = nullptr;
    windowClass.lpszClassName = className;
    if (!RegisterClassA(&windowClass)) {
        MessageBoxA(nullptr, "Window Registration Failed!", "Error!", MB_ICONEXCLAMATION | MB_OK);
    }

    // 3. Screen size in physical pixels.
    SetProcessDPIAware();
    int screenWidth = 0;
    int screenHeight = 0;
    if (HDC screen = GetDC(nullptr)) {
        screenWidth = GetDeviceCaps(screen, HORZRES);
        screenHeight = GetDeviceCaps(screen, VERTRES);
        ReleaseDC(nullptr, screen);
    }

    // 4. Centred.
    const about::Point position = about::centredPosition(screenWidth, screenHeight);

    // 5. The main window: a title bar with a close box, fixed size (an
    //    overlapped window always has a caption; it is spelled out here).
    gMainWindow =
        CreateWindowExA(0, className, caption, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, position.x, position.y,
                        about::kWindowWidth, about::kWindowHeight, nullptr, nullptr, instance, nullptr);
    if (!gMainWindow) {
        MessageBoxA(nullptr, "Window Creation Failed!", "Error!", MB_ICONEXCLAMATION | MB_OK);
    }

    // 6. The logo, natural size.
    gLogo = static_cast<HBITMAP>(
        LoadImageA(instance, MAKEINTRESOURCEA(resource::kLogoBitmap), IMAGE_BITMAP, 0, 0, LR_SHARED));

    // 7. Fonts, kept for the rest of the process.
    HFONT bodyFont = createFont(about::kBodyFont);
    HFONT titleFont = createFont(about::kTitleFont);

    // 8.-10. Controls (none without a main window to hold them).
    gInfoControl =
        createControl("static", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, about::kInfoRect, about::kInfoId, instance);
    if (gInfoControl) SetWindowTextA(gInfoControl, infoText);
    setFont(gInfoControl, bodyFont);

    gTitleControl =
        createControl("static", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, about::kTitleRect, about::kTitleId, instance);
    if (gTitleControl) SetWindowTextA(gTitleControl, titleText);
    setFont(gTitleControl, titleFont);

    gButton = createControl("BUTTON", buttonText, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, about::kButtonRect,
                            about::kButtonId, instance);
    setFont(gButton, bodyFont);

    // Without a main window the controls could not be created either, and no
    // window's destruction would ever end the message loop: the About branch
    // ends here instead of waiting for a WM_QUIT that never comes.
    if (!gMainWindow) return;

    // 11. Shown with the entry point's show command.
    ShowWindow(gMainWindow, showCommand);
    UpdateWindow(gMainWindow);

    // 12. Until WM_QUIT (0) or a failure (-1).
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}
