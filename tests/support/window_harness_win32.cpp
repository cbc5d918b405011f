#include "support/window_harness_win32.h"

#include <algorithm>
#include <cstdio>

#include "framework/strings.h"

namespace {

std::wstring WithSlash(std::wstring path) {
    if (!path.empty() && path.back() != L'\\') path += L'\\';
    return path;
}

std::wstring Widen(const char* text) {
    std::wstring out;
    for (; *text; ++text) out += static_cast<wchar_t>(static_cast<unsigned char>(*text));
    return out;
}

}  // namespace

void EnsureGdiplus() {
    static GdiplusSession session;
}

std::wstring TestDistDir() {
    return WithSlash(Widen(QUORVEL_TEST_DIST_DIR));
}

std::wstring TestSkinPath(const std::wstring& fileName) {
    return TestDistDir() + L"skins\\" + fileName;
}

std::wstring ScreenshotDir() {
    std::wstring dir = TestDistDir() + L"..\\screenshots\\";
    ::CreateDirectoryW(dir.c_str(), nullptr);
    return dir;
}

std::wstring TestTempDir() {
    static std::wstring dir = [] {
        wchar_t base[MAX_PATH + 1] = {};
        ::GetTempPathW(MAX_PATH, base);
        std::wstring path = WithSlash(base) + FormatW(L"quorvel-test-%lu\\", ::GetCurrentProcessId());
        ::CreateDirectoryW(path.c_str(), nullptr);
        return path;
    }();
    return dir;
}

std::wstring WriteSolidPng(const std::wstring& fileName, int width, int height, uint32_t argb) {
    EnsureGdiplus();
    Dib32 dib(width, height);
    dib.Fill(argb);
    // Keep the alpha: save through a 32-bit ARGB bitmap.
    Gdiplus::GpBitmap* bitmap = nullptr;
    std::wstring path = TestTempDir() + fileName;
    if (Gdiplus::DllExports::GdipCreateBitmapFromScan0(width, height, width * 4, PixelFormat32bppARGB,
                                                        reinterpret_cast<BYTE*>(dib.bits()), &bitmap) != Gdiplus::Ok)
        return L"";
    static const CLSID kPng = {0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
    Gdiplus::DllExports::GdipSaveImageToFile(bitmap, path.c_str(), &kPng, nullptr);
    Gdiplus::DllExports::GdipDisposeImage(bitmap);
    return path;
}

void PumpMessages(int milliseconds) {
    DWORD end = ::GetTickCount() + static_cast<DWORD>(milliseconds);
    for (;;) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                ::PostQuitMessage(static_cast<int>(msg.wParam));
                return;
            }
            if (!CDialog::WalkPreTranslate(&msg)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
        }
        if (static_cast<LONG>(::GetTickCount() - end) >= 0) return;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

bool PumpUntil(const std::function<bool()>& condition, int milliseconds) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        PumpMessages();
        if (condition()) return true;
        if (static_cast<int>(::GetTickCount() - start) >= milliseconds) return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

uint32_t TestBackgroundPixel(int x, int y) {
    // Diagonal bands: every snapshot offset shows up as a different colour.
    int band = ((x + y) / 8) % 4;
    static const uint32_t colors[4] = {0x202830, 0x304050, 0x183848, 0x403020};
    return colors[band] + static_cast<uint32_t>(x % 8);
}

TestDialog::TestDialog(int width, int height)
    : CDialog(BuildDialogTemplate(WS_POPUP | WS_SYSMENU | DS_SETFONT | DS_FIXEDSYS, 0, 100, 100)),
      m_width(width),
      m_height(height) {
    Dib32 pattern(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) pattern.bits()[y * width + x] = TestBackgroundPixel(x, y);
    pattern.CopyTo(m_background);
}

TestDialog::~TestDialog() {
    if (m_hWnd) ::DestroyWindow(m_hWnd);
    PumpMessages();
}

bool TestDialog::Open() {
    EnsureGdiplus();
    if (!CreateModeless(nullptr)) return false;
    ::SetWindowPos(m_hWnd, HWND_TOP, 40, 40, m_width, m_height, SWP_SHOWWINDOW);
    ::SetForegroundWindow(m_hWnd);
    ::SetActiveWindow(m_hWnd);
    PumpMessages(50);
    return true;
}

std::vector<RecordedMessage> TestDialog::Of(UINT msg) const {
    std::vector<RecordedMessage> found;
    for (const RecordedMessage& m : messages)
        if (m.msg == msg) found.push_back(m);
    return found;
}

LRESULT TestDialog::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_COMMAND || msg == WM_MOUSEMOVE || msg >= WM_USER) messages.push_back({msg, wp, lp});
    switch (msg) {
    case WM_ERASEBKGND:
        return TRUE;
    case WM_PAINT:
    case WM_PRINTCLIENT:
        HandlePaintMessage(m_hWnd, msg, wp, [this](HDC dc) { PaintBackground(dc); });
        return 0;
    default:
        break;
    }
    return CDialog::WindowProc(msg, wp, lp);
}

void TestDialog::PaintBackground(HDC dc) const {
    MemoryDC source(dc);
    source.Select(m_background);
    ::BitBlt(dc, 0, 0, m_width, m_height, source, 0, 0, SRCCOPY);
}

BOOL TestDialog::PreTranslateMessage(MSG* msg) {
    if (filter && filter(msg)) return TRUE;
    return CDialog::PreTranslateMessage(msg);
}

std::unique_ptr<Dib32> RenderOwnerDrawn(const CWnd& control, UINT itemState) {
    RECT client{};
    ::GetClientRect(control.m_hWnd, &client);
    auto dib = std::make_unique<Dib32>(client.right, client.bottom);
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_BUTTON;
    dis.CtlID = static_cast<UINT>(::GetDlgCtrlID(control.m_hWnd));
    dis.itemAction = ODA_DRAWENTIRE;
    dis.itemState = itemState;
    dis.hwndItem = control.m_hWnd;
    dis.hDC = dib->dc();
    dis.rcItem = client;
    ::SendMessageW(::GetParent(control.m_hWnd), WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
    ::GdiFlush();
    return dib;
}

std::unique_ptr<Dib32> RenderPrintClient(const CWnd& window) {
    RECT client{};
    ::GetClientRect(window.m_hWnd, &client);
    auto dib = std::make_unique<Dib32>(client.right, client.bottom);
    ::SendMessageW(window.m_hWnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dib->dc()), PRF_CLIENT);
    ::GdiFlush();
    return dib;
}

namespace {

// Paints hwnd's client into dc, then its visible children over it, bottom of
// the z-order first, each into a DIB of its own that is copied to its place.
// Each window is erased first, as BeginPaint does before WM_PAINT: a list box
// paints only its rows and leaves the rest to its background.
void RenderTree(HWND hwnd, HDC dc) {
    ::SendMessageW(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    ::SendMessageW(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    std::vector<HWND> children;
    for (HWND child = ::GetWindow(hwnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        HWND child = *it;
        if (!::IsWindowVisible(child)) continue;
        RECT r{};
        ::GetClientRect(child, &r);
        if (r.right <= 0 || r.bottom <= 0) continue;
        POINT at{0, 0};
        ::MapWindowPoints(child, hwnd, &at, 1);
        Dib32 part(r.right, r.bottom);
        RenderTree(child, part.dc());
        ::GdiFlush();
        ::BitBlt(dc, at.x, at.y, r.right, r.bottom, part.dc(), 0, 0, SRCCOPY);
    }
}

}  // namespace

std::unique_ptr<Dib32> RenderWindow(HWND hwnd) {
    RECT r{};
    ::GetClientRect(hwnd, &r);
    auto dib = std::make_unique<Dib32>(r.right, r.bottom);
    RenderTree(hwnd, dib->dc());
    ::GdiFlush();
    return dib;
}

bool Varied(const Dib32& picture) {
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (picture.Rgb(x, y) != picture.Rgb(0, 0)) return true;
    return false;
}

std::unique_ptr<Dib32> CaptureTopLevelWindow(HWND hwnd) {
    const bool layered = (::GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_LAYERED) != 0;
    RECT r{};
    ::GetWindowRect(hwnd, &r);
    RECT client{};
    ::GetClientRect(hwnd, &client);
    const bool frameless = client.right == r.right - r.left && client.bottom == r.bottom - r.top;
    if (CWnd::FromHandlePermanent(hwnd) && !layered && frameless) return RenderWindow(hwnd);
    auto dib = std::make_unique<Dib32>(std::max<LONG>(r.right - r.left, 1), std::max<LONG>(r.bottom - r.top, 1));
    HDC screen = ::GetDC(nullptr);
    // CAPTUREBLT: layered windows are part of what the screen shows.
    ::BitBlt(dib->dc(), 0, 0, r.right - r.left, r.bottom - r.top, screen, r.left, r.top, SRCCOPY | CAPTUREBLT);
    ::ReleaseDC(nullptr, screen);
    ::GdiFlush();
    return dib;
}

bool SaveWindowScreenshot(HWND hwnd, const std::wstring& name) {
    return hwnd && SaveScreenshot(*CaptureTopLevelWindow(hwnd), name);
}

bool SaveScreenshot(const Dib32& dib, const std::wstring& name) {
    EnsureGdiplus();
    return SaveDibAsPng(dib, ScreenshotDir() + name + L".png");
}

void PostMouse(const CWnd& control, UINT msg, int x, int y, WPARAM keys) {
    ::PostMessageW(control.m_hWnd, msg, keys, MAKELPARAM(x, y));
}

void PostClick(const CWnd& control, int x, int y) {
    PostMouse(control, WM_LBUTTONDOWN, x, y, MK_LBUTTON);
    PostMouse(control, WM_LBUTTONUP, x, y, 0);
    PumpMessages();
}
