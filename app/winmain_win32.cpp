// Entry point of Quorvel.exe.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // The application object and its main window take over from here once they exist.
    return 0;
}
