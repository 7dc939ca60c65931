// sibling: shows a sibling program's Call Status window, the way the other
// plug-ins on the same desktop do: a dialog-class window titled TITLE whose
// second child holds RECORD, the status record the program reads. It runs
// until the window is sent WM_CLOSE.
//
//   sibling TITLE RECORD

#include <windows.h>

#include <stdio.h>

namespace {

WNDPROC dialogProc = NULL;

LRESULT CALLBACK SiblingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) {
        DestroyWindow(hwnd);
        return 0;
    }
    if (message == WM_DESTROY) PostQuitMessage(0);
    return CallWindowProcA(dialogProc, hwnd, message, wParam, lParam);
}

}  // namespace

int main(int argc, char **argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: sibling TITLE RECORD\n");
        return 2;
    }
    HWND window = CreateWindowExA(0, "#32770", argv[1], WS_POPUP, 0, 0, 200, 80, NULL, NULL,
                                  GetModuleHandleA(NULL), NULL);
    if (!window) {
        fprintf(stderr, "sibling: cannot create the window (%lu)\n", GetLastError());
        return 1;
    }
    dialogProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SiblingProc)));
    CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 10, 10, window, reinterpret_cast<HMENU>(1006),
                    NULL, NULL);
    CreateWindowExA(0, "STATIC", argv[2], WS_CHILD, 0, 0, 10, 10, window, reinterpret_cast<HMENU>(1007),
                    NULL, NULL);
    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0) DispatchMessageA(&msg);
    return 0;
}
