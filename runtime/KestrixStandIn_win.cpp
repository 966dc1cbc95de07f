// A stand-in for the screen-saver runtime: it lets the compile path be used end to end
// before the real runtime exists, and tells whoever starts it what it is.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    MessageBoxA(nullptr,
                "This screen saver was compiled with the Kestrix runtime stand-in.\n"
                "Its payload is complete, but the stand-in does not play movies.",
                "Kestrix", MB_OK | MB_ICONINFORMATION);
    return 0;
}
