// wintool: looks at and drives the windows of another program from outside,
// the way a sibling process on the same desktop would. The end-to-end tests
// run it under Wine next to CorvaloPlugin.exe.
//
//   wintool wait-window CLASS TITLE TIMEOUT_MS   wait for a top-level window, print its handle
//   wintool wait-gone   CLASS TITLE TIMEOUT_MS   wait until no such window is left
//   wintool count       CLASS TITLE              number of matching top-level windows
//   wintool windows                              list all top-level windows (for diagnostics)
//   wintool children    CLASS TITLE              one line per child in z-order:
//                                                index TAB id TAB class TAB visible TAB text
//   wintool child-text  CLASS TITLE N            text of the N-th child (1-based)
//   wintool visible     CLASS TITLE              1 or 0
//   wintool owner       CLASS TITLE              owner window handle, 0x0 when it has none
//   wintool rect        CLASS TITLE              left top right bottom
//   wintool post        CLASS TITLE MSG WPARAM LPARAM
//   wintool msgbox      TITLE TIMEOUT_MS         wait for a message box, print its text, press OK
//   wintool copydata    CLASS TITLE SENDER TEXT SIZE
//                                                send WM_COPYDATA naming window SENDER (a handle)
//                                                with TEXT; SIZE is the stated length: "full"
//                                                (the text and its NUL) or a number of bytes of
//                                                the text; prints the receiver's answer
//   wintool post-registered CLASS TITLE NAME WPARAM LPARAM
//                                                post the registered message NAME
//   wintool open        PATH ACCESS SHARE        open a file or device as another program would and
//                                                close it again; print "ok" or "error N". ACCESS
//                                                and SHARE: none, read, write or read-write
//   wintool fit         CLASS TITLE              measure each visible static text of the window in
//                                                the font its template or the system's message
//                                                boxes give it, one line per control:
//                                                id TAB needed WxH TAB client WxH TAB ok|CLIPPED TAB
//                                                text; exit status 1 if any text does not fit
//   wintool dpi                                  the system's logical pixels per inch
//   wintool image       CLASS TITLE              path of the program that owns the window
//
// CLASS or TITLE given as "-" or "" matches any class or title. Titles match
// exactly, class names case-insensitively (as Windows compares them).
// Numbers are decimal or 0x-prefixed hex. Exit status: 0 on success, 1 when
// the window is missing or a wait timed out, 2 on bad usage; the reason goes
// to stderr.

#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

const DWORD kPollMs = 100;

struct Match {
    const char *cls;    // NULL: any
    const char *title;  // NULL: any
    HWND first;
    int count;
};

const char *any_if_blank(const char *s) {
    return (s == NULL || s[0] == '\0' || strcmp(s, "-") == 0) ? NULL : s;
}

bool window_matches(HWND hwnd, const char *cls, const char *title) {
    char buf[512];
    if (cls) {
        if (!GetClassNameA(hwnd, buf, sizeof buf) || lstrcmpiA(buf, cls) != 0) return false;
    }
    if (title) {
        buf[0] = '\0';
        GetWindowTextA(hwnd, buf, sizeof buf);
        if (strcmp(buf, title) != 0) return false;
    }
    return true;
}

BOOL CALLBACK collect_match(HWND hwnd, LPARAM lp) {
    Match *m = reinterpret_cast<Match *>(lp);
    if (window_matches(hwnd, m->cls, m->title)) {
        if (!m->first) m->first = hwnd;
        ++m->count;
    }
    return TRUE;
}

Match find_top(const char *cls, const char *title) {
    Match m = {any_if_blank(cls), any_if_blank(title), NULL, 0};
    EnumWindows(collect_match, reinterpret_cast<LPARAM>(&m));
    return m;
}

int fail(const char *fmt, const char *a = "", const char *b = "") {
    fprintf(stderr, "wintool: ");
    fprintf(stderr, fmt, a, b);
    fprintf(stderr, "\n");
    return 1;
}

int bad_arg(const char *what, const char *value) {
    fprintf(stderr, "wintool: bad %s \"%s\"\n", what, value);
    return 2;
}

bool parse_number(const char *s, unsigned long *out) {
    char *end = NULL;
    int base = (s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) ? 16 : 10;
    const char *digits = base == 16 ? s + 2 : s;
    if (*digits == '\0') return false;
    *out = strtoul(digits, &end, base);
    return *end == '\0';
}

// The one top-level window named on the command line, or NULL after a
// message on stderr.
HWND require_top(const char *cls, const char *title) {
    HWND hwnd = find_top(cls, title).first;
    if (!hwnd) fail("no top-level window of class \"%s\" titled \"%s\"", cls, title);
    return hwnd;
}

// Polls until the window exists (want_present) or is gone; the handle found
// is returned through *found. False on time-out.
bool wait_for(const char *cls, const char *title, DWORD timeout_ms, bool want_present, HWND *found) {
    DWORD start = GetTickCount();
    for (;;) {
        Match m = find_top(cls, title);
        if (want_present ? m.first != NULL : m.first == NULL) {
            if (found) *found = m.first;
            return true;
        }
        if (GetTickCount() - start >= timeout_ms) return false;
        Sleep(kPollMs);
    }
}

// Tabs and line breaks in window text would break the one-line-per-child
// output, so they are written as \t, \n, \r (and a backslash as \\).
void print_escaped(const char *s) {
    for (; *s; ++s) {
        switch (*s) {
            case '\t': fputs("\\t", stdout); break;
            case '\n': fputs("\\n", stdout); break;
            case '\r': fputs("\\r", stdout); break;
            case '\\': fputs("\\\\", stdout); break;
            default: fputc(*s, stdout);
        }
    }
}

int cmd_wait_window(char **argv) {
    unsigned long timeout;
    if (!parse_number(argv[2], &timeout)) return bad_arg("time-out", argv[2]);
    HWND hwnd = NULL;
    if (!wait_for(argv[0], argv[1], timeout, true, &hwnd))
        return fail("timed out waiting for window of class \"%s\" titled \"%s\"", argv[0], argv[1]);
    printf("0x%llx\n", (unsigned long long)(ULONG_PTR)hwnd);
    return 0;
}

int cmd_wait_gone(char **argv) {
    unsigned long timeout;
    if (!parse_number(argv[2], &timeout)) return bad_arg("time-out", argv[2]);
    if (!wait_for(argv[0], argv[1], timeout, false, NULL))
        return fail("timed out: window of class \"%s\" titled \"%s\" is still there", argv[0], argv[1]);
    return 0;
}

int cmd_count(char **argv) {
    printf("%d\n", find_top(argv[0], argv[1]).count);
    return 0;
}

BOOL CALLBACK print_top(HWND hwnd, LPARAM) {
    char cls[256] = "", title[512] = "";
    GetClassNameA(hwnd, cls, sizeof cls);
    GetWindowTextA(hwnd, title, sizeof title);
    printf("0x%llx\t%s\t%d\t", (unsigned long long)(ULONG_PTR)hwnd, cls, IsWindowVisible(hwnd) ? 1 : 0);
    print_escaped(title);
    fputc('\n', stdout);
    return TRUE;
}

int cmd_windows(char **) {
    EnumWindows(print_top, 0);
    return 0;
}

// Visible here is the child's own WS_VISIBLE style: IsWindowVisible would
// report every child of a hidden parent as invisible.
int cmd_children(char **argv) {
    HWND top = require_top(argv[0], argv[1]);
    if (!top) return 1;
    int index = 0;
    for (HWND child = GetWindow(top, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char cls[256] = "", text[1024] = "";
        GetClassNameA(child, cls, sizeof cls);
        GetWindowTextA(child, text, sizeof text);
        LONG style = GetWindowLongA(child, GWL_STYLE);
        printf("%d\t%d\t%s\t%d\t", ++index, GetDlgCtrlID(child), cls, (style & WS_VISIBLE) ? 1 : 0);
        print_escaped(text);
        fputc('\n', stdout);
    }
    return 0;
}

// Reads the text exactly as another program on the desktop would: first
// child, then next siblings, and GetWindowTextA into a 256-byte buffer.
int cmd_child_text(char **argv) {
    unsigned long n;
    if (!parse_number(argv[2], &n) || n == 0) return bad_arg("child number", argv[2]);
    HWND top = require_top(argv[0], argv[1]);
    if (!top) return 1;
    HWND child = GetWindow(top, GW_CHILD);
    for (unsigned long i = 1; child && i < n; ++i) child = GetWindow(child, GW_HWNDNEXT);
    if (!child) return fail("window has fewer than %s children", argv[2]);
    char text[256] = "";
    GetWindowTextA(child, text, sizeof text);
    printf("%s\n", text);
    return 0;
}

int cmd_visible(char **argv) {
    HWND top = require_top(argv[0], argv[1]);
    if (!top) return 1;
    printf("%d\n", IsWindowVisible(top) ? 1 : 0);
    return 0;
}

int cmd_owner(char **argv) {
    HWND top = require_top(argv[0], argv[1]);
    if (!top) return 1;
    printf("0x%llx\n", (unsigned long long)(ULONG_PTR)GetWindow(top, GW_OWNER));
    return 0;
}

int cmd_rect(char **argv) {
    HWND top = require_top(argv[0], argv[1]);
    if (!top) return 1;
    RECT r;
    if (!GetWindowRect(top, &r)) return fail("GetWindowRect failed");
    printf("%ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
    return 0;
}

int cmd_post(char **argv) {
    unsigned long msg, wparam, lparam;
    if (!parse_number(argv[2], &msg)) return bad_arg("message", argv[2]);
    if (!parse_number(argv[3], &wparam)) return bad_arg("wParam", argv[3]);
    if (!parse_number(argv[4], &lparam)) return bad_arg("lParam", argv[4]);
    HWND top = require_top(argv[0], argv[1]);
    if (!top) return 1;
    if (!PostMessageA(top, (UINT)msg, (WPARAM)wparam, (LPARAM)lparam)) {
        char code[32];
        snprintf(code, sizeof code, "%lu", GetLastError());
        return fail("PostMessage failed, error %s", code);
    }
    return 0;
}

// The message text is the static child that is not the icon.
HWND message_text_child(HWND box) {
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char cls[64] = "";
        GetClassNameA(child, cls, sizeof cls);
        LONG type = GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK;
        if (lstrcmpiA(cls, "Static") == 0 && type != SS_ICON && type != SS_BITMAP && type != SS_ENHMETAFILE)
            return child;
    }
    return NULL;
}

int cmd_msgbox(char **argv) {
    const char *title = argv[0];
    unsigned long timeout;
    if (!parse_number(argv[1], &timeout)) return bad_arg("time-out", argv[1]);
    DWORD start = GetTickCount();
    // The box is filled in before it is shown, so wait until it is visible.
    HWND box = NULL;
    for (;;) {
        box = find_top("#32770", title).first;
        if (box && IsWindowVisible(box)) break;
        if (GetTickCount() - start >= timeout) return fail("timed out waiting for message box \"%s\"", title);
        Sleep(kPollMs);
    }
    HWND text = message_text_child(box);
    if (!text) return fail("message box \"%s\" has no text", title);
    char buf[1024] = "";
    GetWindowTextA(text, buf, sizeof buf);
    printf("%s\n", buf);
    fflush(stdout);

    HWND ok = GetDlgItem(box, IDOK);
    if (!ok) return fail("message box \"%s\" has no OK button", title);
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), (LPARAM)ok);
    for (;;) {
        if (!IsWindow(box)) return 0;
        if (GetTickCount() - start >= timeout) return fail("message box \"%s\" did not close after OK", title);
        Sleep(kPollMs);
    }
}

bool parse_rw(const char *text, DWORD read_bit, DWORD write_bit, DWORD *value) {
    if (strcmp(text, "none") == 0) *value = 0;
    else if (strcmp(text, "read") == 0) *value = read_bit;
    else if (strcmp(text, "write") == 0) *value = write_bit;
    else if (strcmp(text, "read-write") == 0) *value = read_bit | write_bit;
    else return false;
    return true;
}

int cmd_open(char **argv) {
    DWORD access, share;
    if (!parse_rw(argv[1], GENERIC_READ, GENERIC_WRITE, &access)) return bad_arg("access", argv[1]);
    if (!parse_rw(argv[2], FILE_SHARE_READ, FILE_SHARE_WRITE, &share)) return bad_arg("share", argv[2]);
    HANDLE h = CreateFileA(argv[0], access, share, NULL, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, NULL);
    if (h == INVALID_HANDLE_VALUE) {
        printf("error %lu\n", GetLastError());
    } else {
        printf("ok\n");
        CloseHandle(h);
    }
    return 0;
}

int cmd_copydata(char **argv) {
    unsigned long sender;
    if (!parse_number(argv[2], &sender)) return bad_arg("sender", argv[2]);
    const char *text = argv[3];
    unsigned long size = (unsigned long)strlen(text) + 1;
    if (strcmp(argv[4], "full") != 0 && (!parse_number(argv[4], &size) || size > strlen(text) + 1))
        return bad_arg("size", argv[4]);
    HWND top = require_top(argv[0], argv[1]);
    if (!top) return 1;
    COPYDATASTRUCT record = {0, (DWORD)size, (void *)text};
    LRESULT answer = SendMessageA(top, WM_COPYDATA, (WPARAM)(ULONG_PTR)sender, (LPARAM)&record);
    printf("%lld\n", (long long)answer);
    return 0;
}

int cmd_post_registered(char **argv) {
    unsigned long wparam, lparam;
    if (!parse_number(argv[3], &wparam)) return bad_arg("wParam", argv[3]);
    if (!parse_number(argv[4], &lparam)) return bad_arg("lParam", argv[4]);
    UINT message = RegisterWindowMessageA(argv[2]);
    if (!message) return fail("cannot register \"%s\"", argv[2]);
    HWND top = require_top(argv[0], argv[1]);
    if (!top) return 1;
    if (!PostMessageA(top, message, (WPARAM)wparam, (LPARAM)lparam)) return fail("PostMessage failed");
    return 0;
}

// The drawing flags a static control of this style uses for its text.
bool static_text_flags(LONG style, UINT *flags) {
    UINT base = DT_EXPANDTABS | ((style & SS_NOPREFIX) ? DT_NOPREFIX : 0);
    switch (style & SS_TYPEMASK) {
        case SS_LEFT: *flags = base | DT_LEFT | DT_WORDBREAK; return true;
        case SS_CENTER: *flags = base | DT_CENTER | DT_WORDBREAK; return true;
        case SS_RIGHT: *flags = base | DT_RIGHT | DT_WORDBREAK; return true;
        case SS_SIMPLE:
        case SS_LEFTNOWORDWRAP: *flags = base | DT_LEFT | DT_SINGLELINE; return true;
        default: return false;  // icons, bitmaps, frames: no text
    }
}

// The font a dialog of the program was given in its template: the dialog
// manager creates it from the template's face, point size, weight and
// italic flag at the system's DPI. Another process cannot use the font
// handle the program holds (GDI handles belong to their process), so it is
// made again here the same way.
struct TemplateFont {
    const char *title;  // the caption sought
    HFONT font;
};

// Steps over a "string or ordinal" field of a dialog template.
const WORD *skip_sz_or_ord(const WORD *p) {
    if (*p == 0xFFFF) return p + 2;
    while (*p) ++p;
    return p + 1;
}

HFONT font_of_template(const WORD *p) {
    bool extended = p[1] == 0xFFFF;
    DWORD style = extended ? *(const DWORD *)(p + 6) : *(const DWORD *)p;
    p += extended ? 13 : 9;  // to the menu field
    p = skip_sz_or_ord(p);   // menu
    p = skip_sz_or_ord(p);   // class
    p = skip_sz_or_ord(p);   // title
    if (!(style & DS_SETFONT)) return NULL;
    int points = *p++;
    int weight = FW_DONTCARE;
    BOOL italic = FALSE;
    BYTE charset = DEFAULT_CHARSET;
    if (extended) {
        weight = *p++;
        italic = LOBYTE(*p) != 0;
        charset = HIBYTE(*p++);
    }
    HDC screen = GetDC(NULL);
    int pixels = MulDiv(points, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(NULL, screen);
    return CreateFontW(-pixels, 0, 0, 0, weight, italic, FALSE, FALSE, charset, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, PROOF_QUALITY, FF_DONTCARE, (const WCHAR *)p);
}

bool template_title_is(const WORD *p, const char *title) {
    bool extended = p[1] == 0xFFFF;
    p += extended ? 13 : 9;
    p = skip_sz_or_ord(skip_sz_or_ord(p));
    char caption[512] = "";
    WideCharToMultiByte(CP_ACP, 0, (const WCHAR *)p, -1, caption, sizeof caption, NULL, NULL);
    return strcmp(caption, title) == 0;
}

BOOL CALLBACK find_template_font(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR lp) {
    TemplateFont *sought = reinterpret_cast<TemplateFont *>(lp);
    HRSRC info = FindResourceA(module, name, type);
    const WORD *dialog = info ? (const WORD *)LockResource(LoadResource(module, info)) : NULL;
    if (!dialog || !template_title_is(dialog, sought->title)) return TRUE;
    sought->font = font_of_template(dialog);
    return FALSE;
}

// The font of the window's static texts: its template's font when the
// program that owns it has a dialog template of that caption, else the
// system's message font, which a message box gives its text.
HFONT text_font_of(HWND top, const char *title) {
    DWORD pid = 0;
    GetWindowThreadProcessId(top, &pid);
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    char path[MAX_PATH * 2] = "";
    DWORD size = sizeof path;
    BOOL named = process && QueryFullProcessImageNameA(process, 0, path, &size);
    if (process) CloseHandle(process);
    TemplateFont sought = {title, NULL};
    HMODULE image = named ? LoadLibraryExA(path, NULL, LOAD_LIBRARY_AS_DATAFILE) : NULL;
    if (image) {
        EnumResourceNamesA(image, RT_DIALOG, find_template_font, reinterpret_cast<LONG_PTR>(&sought));
        FreeLibrary(image);
    }
    if (sought.font) return sought.font;
    NONCLIENTMETRICSA metrics;
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return NULL;
    return CreateFontIndirectA(&metrics.lfMessageFont);
}

// Lays each static text out as the control does, in the window's text font
// (above), at the width of its client area, and compares the height and
// width the text needs with the client area. Both programs must see one
// DPI: this one declares itself aware, so that no rectangle is scaled
// between them.
int cmd_fit(char **argv) {
    SetProcessDPIAware();
    HWND top = require_top(argv[0], argv[1]);
    if (!top) return 1;
    HFONT font = text_font_of(top, argv[1]);
    if (!font) return fail("cannot make the font of window \"%s\"", argv[1]);
    int clipped = 0, measured = 0;
    for (HWND child = GetWindow(top, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char cls[64] = "", text[2048] = "";
        GetClassNameA(child, cls, sizeof cls);
        LONG style = GetWindowLongA(child, GWL_STYLE);
        UINT flags;
        if (lstrcmpiA(cls, "Static") != 0 || !(style & WS_VISIBLE) || !static_text_flags(style, &flags)) continue;
        if (GetWindowTextA(child, text, sizeof text) == 0) continue;
        RECT client;
        GetClientRect(child, &client);
        HDC dc = GetDC(child);
        HGDIOBJ old = SelectObject(dc, font);
        RECT need = client;
        DrawTextA(dc, text, -1, &need, flags | DT_CALCRECT);
        SelectObject(dc, old);
        ReleaseDC(child, dc);
        LONG need_w = need.right - need.left, need_h = need.bottom - need.top;
        LONG have_w = client.right - client.left, have_h = client.bottom - client.top;
        bool fits = need_w <= have_w && need_h <= have_h;
        clipped += fits ? 0 : 1;
        ++measured;
        printf("%d\t%ldx%ld\t%ldx%ld\t%s\t", GetDlgCtrlID(child), need_w, need_h, have_w, have_h,
               fits ? "ok" : "CLIPPED");
        print_escaped(text);
        fputc('\n', stdout);
    }
    DeleteObject(font);
    if (measured == 0) return fail("window \"%s\" shows no static text", argv[1]);
    return clipped ? 1 : 0;
}

int cmd_dpi(char **) {
    SetProcessDPIAware();
    HDC screen = GetDC(NULL);
    printf("%d\n", GetDeviceCaps(screen, LOGPIXELSY));
    ReleaseDC(NULL, screen);
    return 0;
}

int cmd_image(char **argv) {
    HWND top = require_top(argv[0], argv[1]);
    if (!top) return 1;
    DWORD pid = 0;
    GetWindowThreadProcessId(top, &pid);
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!process) return fail("cannot open the window's process");
    char path[MAX_PATH * 2] = "";
    DWORD size = sizeof path;
    BOOL ok = QueryFullProcessImageNameA(process, 0, path, &size);
    CloseHandle(process);
    if (!ok) return fail("cannot read the window's program path");
    printf("%s\n", path);
    return 0;
}

struct Command {
    const char *name;
    int argc;
    int (*run)(char **argv);
    const char *usage;
};

const Command kCommands[] = {
    {"wait-window", 3, cmd_wait_window, "CLASS TITLE TIMEOUT_MS"},
    {"wait-gone", 3, cmd_wait_gone, "CLASS TITLE TIMEOUT_MS"},
    {"count", 2, cmd_count, "CLASS TITLE"},
    {"windows", 0, cmd_windows, ""},
    {"children", 2, cmd_children, "CLASS TITLE"},
    {"child-text", 3, cmd_child_text, "CLASS TITLE N"},
    {"visible", 2, cmd_visible, "CLASS TITLE"},
    {"owner", 2, cmd_owner, "CLASS TITLE"},
    {"rect", 2, cmd_rect, "CLASS TITLE"},
    {"post", 5, cmd_post, "CLASS TITLE MSG WPARAM LPARAM"},
    {"msgbox", 2, cmd_msgbox, "TITLE TIMEOUT_MS"},
    {"copydata", 5, cmd_copydata, "CLASS TITLE SENDER TEXT SIZE"},
    {"post-registered", 5, cmd_post_registered, "CLASS TITLE NAME WPARAM LPARAM"},
    {"open", 3, cmd_open, "PATH ACCESS SHARE"},
    {"fit", 2, cmd_fit, "CLASS TITLE"},
    {"dpi", 0, cmd_dpi, ""},
    {"image", 2, cmd_image, "CLASS TITLE"},
};

int usage() {
    fprintf(stderr, "usage:\n");
    for (const Command &c : kCommands) fprintf(stderr, "  wintool %s %s\n", c.name, c.usage);
    return 2;
}

}  // namespace

int main(int argc, char **argv) {
    // Binary mode: the shell reading our output wants LF, not CR LF.
    _setmode(_fileno(stdout), _O_BINARY);
    if (argc < 2) return usage();
    for (const Command &c : kCommands) {
        if (strcmp(argv[1], c.name) != 0) continue;
        if (argc - 2 != c.argc) {
            fprintf(stderr, "usage: wintool %s %s\n", c.name, c.usage);
            return 2;
        }
        int rc = c.run(argv + 2);
        fflush(stdout);
        return rc;
    }
    return usage();
}
