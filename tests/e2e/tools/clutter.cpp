// clutter: another program's windows on the desk. Opens COUNT visible
// top-level windows of its own class CLASS, each WIDTH x HEIGHT, and runs
// until it is stopped. Each click it gets is printed to stdout as
// "click X,Y", so a test can tell whether anyone clicked into it.
//
//   clutter COUNT [CLASS WIDTH HEIGHT]    defaults: CorvaloClutter 200 100

#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

namespace {

LRESULT CALLBACK ClutterProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_LBUTTONDOWN) {
        printf("click %d,%d\n", static_cast<int>(LOWORD(lParam)), static_cast<int>(HIWORD(lParam)));
        fflush(stdout);
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

}  // namespace

int main(int argc, char **argv) {
    if (argc != 2 && argc != 5) {
        fprintf(stderr, "usage: clutter COUNT [CLASS WIDTH HEIGHT]\n");
        return 2;
    }
    int count = atoi(argv[1]);
    const char *cls = argc == 5 ? argv[2] : "CorvaloClutter";
    int width = argc == 5 ? atoi(argv[3]) : 200, height = argc == 5 ? atoi(argv[4]) : 100;
    if (count < 0 || count > 10000 || width <= 0 || height <= 0) {
        fprintf(stderr, "clutter: COUNT 0..10000, WIDTH and HEIGHT above 0\n");
        return 2;
    }
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ClutterProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = cls;
    if (!RegisterClassA(&wc)) {
        fprintf(stderr, "clutter: cannot register class %s (%lu)\n", cls, GetLastError());
        return 1;
    }
    for (int i = 0; i < count; ++i) {
        // No activation: the windows stay where they open, as a desk's
        // background windows do.
        if (!CreateWindowExA(WS_EX_NOACTIVATE, cls, "", WS_POPUP | WS_VISIBLE, 20 + i % 40 * 10, 20 + i % 30 * 10,
                             width, height, NULL, NULL, wc.hInstance, NULL)) {
            fprintf(stderr, "clutter: cannot create window %d (%lu)\n", i + 1, GetLastError());
            return 1;
        }
    }
    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0) DispatchMessageA(&msg);
    return 0;
}
