#include <windows.h>
#include <cstdlib>

#include "Startup.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    KivMain(instance, __argc, __argv);
    return 0;
}
