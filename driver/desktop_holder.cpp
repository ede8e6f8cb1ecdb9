// wine-desktop-holder: keeps Wine's desktop open for a whole session of
// programs, such as a test run.
//
// Wine closes its desktop a second after the last program using it has
// ended, and with it the desktop's own process; the next program that needs
// the desktop starts a new one. That process inherits the starting program's
// output, so that whoever waits for that output to end (CTest does) waits
// until the desktop closes again, which in a busy test run can take minutes.
// This program starts the desktop, with its own output, prints one line once
// the desktop is there, and uses the desktop until it is ended.
#include <windows.h>

#include <cstdio>

int main()
{
    if (GetDesktopWindow() == nullptr) {
        std::fprintf(stderr, "wine-desktop-holder: no desktop (error %lu)\n", GetLastError());
        return 1;
    }
    std::printf("desktop ready\n");
    std::fflush(stdout);
    Sleep(INFINITE);
}
