// The demo product's program: a tiny window-less Windows program that says what it is, so the
// shortcuts the installer makes lead to something real.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    MessageBoxW(nullptr,
                L"Želvík 2.4\n\nUkázkový program, který nainstaloval setup.exe.\n"
                L"A sample program installed by setup.exe.",
                L"Želvík", MB_OK | MB_ICONINFORMATION);
    return 0;
}
