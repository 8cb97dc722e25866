// uidriver: drives the launcher's windows from outside, the way a person would see and use
// them, for the end-to-end tests under Wine. One command per run; results are printed as
// UTF-8 JSON on stdout, failures as one line on stderr with a non-zero exit code.
//
//   uidriver list [--all]
//   uidriver wait|dump   <window> [--timeout MS]
//   uidriver wait-gone   <window> [--timeout MS]
//   uidriver click       <window> --id N [--timeout MS]
//   uidriver radio       <window> --id N [--timeout MS]
//   uidriver type        <window> --id N --text TEXT [--timeout MS]
//   uidriver select      <window> --id N (--index I | --item TEXT) [--timeout MS]
//   uidriver answer      <window> --button ok|cancel|yes|no|abort|retry|ignore|close
//   uidriver close       <window> [--timeout MS]
//   uidriver escape      <window> [--timeout MS]
//   uidriver hammer      <window> [--timeout MS]
//   uidriver reg         --key ROOT\PATH [--value NAME] [--view 32|64]
//   uidriver run         --report FILE --cmdline "PROGRAM ARGS" [--cwd DIR]
//   uidriver kill        --pid N
//
// <window> is any mix of --title SUBSTRING, --exact-title TEXT, --class NAME,
// --process IMAGE.EXE, --pid N, --hwnd 0xH, --has-id N. Among several matching windows the
// first enabled one in Z order wins: while a modal box is up its owner is disabled, so the
// window a person could use is the one chosen.
//
// Exit codes: 0 done, 1 bad usage, 2 window not found in time, 3 control not found or not
// usable in time, 4 the action did not take effect.

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>

#include "utf8.h"
#include <vector>

namespace {

enum ExitCode { kOk = 0, kUsage = 1, kNoWindow = 2, kNoControl = 3, kNoEffect = 4, kNoStart = 5 };

// Cross-process messages must never hang the driver on a busy or dead target.
constexpr UINT kSendTimeoutMs = 2000;
constexpr DWORD kPollMs = 40;

// ---------------------------------------------------------------- output

// Written through WriteFile so that no C runtime text mode turns \n into \r\n or
// re-encodes the UTF-8 bytes.
void writeRaw(DWORD which, const std::string& s) {
    HANDLE h = GetStdHandle(which);
    if (h == nullptr || h == INVALID_HANDLE_VALUE) return;
    size_t off = 0;
    while (off < s.size()) {
        DWORD done = 0;
        if (!WriteFile(h, s.data() + off, static_cast<DWORD>(s.size() - off), &done, nullptr) || done == 0) return;
        off += done;
    }
}

int fail(int code, const std::wstring& msg) {
    writeRaw(STD_ERROR_HANDLE, "uidriver: " + utf8(msg) + "\n");
    return code;
}

class Json {
public:
    std::string str() const { return out_; }
    void raw(const char* s) { out_ += s; }
    void raw(const std::string& s) { out_ += s; }
    void key(const char* k) {
        comma();
        quoted(k);
        out_ += ':';
        pendingValue_ = true;
    }
    void begin(char c) {
        comma();
        out_ += c;
        first_ = true;
    }
    void end(char c) {
        out_ += c;
        first_ = false;
    }
    void str(const std::wstring& w) {
        value();
        quoted(utf8(w));
    }
    void num(long long v) {
        value();
        out_ += std::to_string(v);
    }
    void boolean(bool b) {
        value();
        out_ += b ? "true" : "false";
    }
    void null() {
        value();
        out_ += "null";
    }
    void hex(unsigned long long v) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "\"0x%llx\"", v);
        value();
        out_ += buf;
    }

private:
    void comma() {
        if (pendingValue_) {
            pendingValue_ = false;
            return;
        }
        if (!first_ && !out_.empty()) out_ += ',';
        first_ = false;
    }
    void value() { comma(); }
    void quoted(const std::string& s) {
        out_ += '"';
        for (unsigned char c : s) {
            switch (c) {
            case '"': out_ += "\\\""; break;
            case '\\': out_ += "\\\\"; break;
            case '\n': out_ += "\\n"; break;
            case '\r': out_ += "\\r"; break;
            case '\t': out_ += "\\t"; break;
            default:
                if (c < 0x20) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04x", c);
                    out_ += buf;
                } else {
                    out_ += static_cast<char>(c);
                }
            }
        }
        out_ += '"';
    }

    std::string out_;
    bool first_ = true;
    bool pendingValue_ = false;
};

// ---------------------------------------------------------------- window facts

// WM_GETTEXT rather than GetWindowTextW: the latter does not read controls of another
// process.
bool windowText(HWND h, std::wstring& text) {
    DWORD_PTR len = 0;
    if (!SendMessageTimeoutW(h, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &len)) return false;
    std::vector<wchar_t> buf(len + 2, L'\0');
    DWORD_PTR got = 0;
    if (!SendMessageTimeoutW(h, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data()), SMTO_ABORTIFHUNG,
                             kSendTimeoutMs, &got))
        return false;
    text.assign(buf.data(), got < buf.size() ? got : buf.size() - 1);
    return true;
}

std::wstring textOf(HWND h) {
    std::wstring t;
    windowText(h, t);
    return t;
}

std::wstring classOf(HWND h) {
    wchar_t buf[256] = {};
    GetClassNameW(h, buf, 256);
    return buf;
}

std::wstring processImage(DWORD pid) {
    std::wstring name;
    HANDLE p = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!p) return name;
    wchar_t buf[MAX_PATH * 2] = {};
    DWORD size = MAX_PATH * 2;
    if (QueryFullProcessImageNameW(p, 0, buf, &size)) {
        name.assign(buf, size);
        size_t slash = name.find_last_of(L"\\/");
        if (slash != std::wstring::npos) name.erase(0, slash + 1);
    }
    CloseHandle(p);
    return name;
}

bool sendTimeout(HWND h, UINT msg, WPARAM wp, LPARAM lp, DWORD_PTR& result) {
    return SendMessageTimeoutW(h, msg, wp, lp, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result) != 0;
}

enum class ButtonKind { None, Push, Check, Radio, Group };

ButtonKind buttonKind(HWND h) {
    if (_wcsicmp(classOf(h).c_str(), L"Button") != 0) return ButtonKind::None;
    switch (GetWindowLongW(h, GWL_STYLE) & BS_TYPEMASK) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE: return ButtonKind::Check;
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON: return ButtonKind::Radio;
    case BS_GROUPBOX: return ButtonKind::Group;
    default: return ButtonKind::Push;
    }
}

const wchar_t* kindName(ButtonKind k) {
    switch (k) {
    case ButtonKind::Push: return L"push";
    case ButtonKind::Check: return L"checkbox";
    case ButtonKind::Radio: return L"radio";
    case ButtonKind::Group: return L"groupbox";
    default: return L"";
    }
}

void rectJson(Json& j, HWND h) {
    RECT r = {};
    GetWindowRect(h, &r);
    j.key("rect");
    j.begin('[');
    j.num(r.left);
    j.num(r.top);
    j.num(r.right);
    j.num(r.bottom);
    j.end(']');
}

bool isCombo(const std::wstring& cls) { return _wcsicmp(cls.c_str(), L"ComboBox") == 0; }
bool isList(const std::wstring& cls) { return _wcsicmp(cls.c_str(), L"ListBox") == 0; }

// Items of a combo or list box, read with the system-marshalled CB_/LB_ messages.
void itemsJson(Json& j, HWND h, bool combo) {
    const UINT getCount = combo ? CB_GETCOUNT : LB_GETCOUNT;
    const UINT getLen = combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN;
    const UINT getText = combo ? CB_GETLBTEXT : LB_GETTEXT;
    const UINT getSel = combo ? CB_GETCURSEL : LB_GETCURSEL;
    DWORD_PTR count = 0, sel = 0;
    if (!sendTimeout(h, getCount, 0, 0, count)) count = 0;
    j.key("items");
    j.begin('[');
    for (DWORD_PTR i = 0; i < count && i < 1000; ++i) {
        DWORD_PTR len = 0;
        sendTimeout(h, getLen, i, 0, len);
        if (static_cast<LONG_PTR>(len) < 0) len = 0;
        std::vector<wchar_t> buf(len + 2, L'\0');
        DWORD_PTR got = 0;
        sendTimeout(h, getText, i, reinterpret_cast<LPARAM>(buf.data()), got);
        j.str(buf.data());
    }
    j.end(']');
    j.key("selected");
    if (sendTimeout(h, getSel, 0, 0, sel)) j.num(static_cast<LONG_PTR>(sel));
    else j.null();
}

void controlJson(Json& j, HWND c) {
    const std::wstring cls = classOf(c);
    j.begin('{');
    j.key("hwnd");
    j.hex(reinterpret_cast<ULONG_PTR>(c));
    j.key("id");
    j.num(GetDlgCtrlID(c));
    j.key("class");
    j.str(cls);
    j.key("text");
    j.str(textOf(c));
    j.key("visible");
    j.boolean(IsWindowVisible(c) != FALSE);
    j.key("enabled");
    j.boolean(IsWindowEnabled(c) != FALSE);
    j.key("style");
    j.hex(static_cast<DWORD>(GetWindowLongW(c, GWL_STYLE)));
    const ButtonKind kind = buttonKind(c);
    if (kind != ButtonKind::None) {
        j.key("kind");
        j.str(kindName(kind));
    }
    j.key("checked");
    if (kind == ButtonKind::Check || kind == ButtonKind::Radio) {
        DWORD_PTR state = 0;
        if (sendTimeout(c, BM_GETCHECK, 0, 0, state)) j.boolean(state == BST_CHECKED);
        else j.null();
    } else {
        j.null();
    }
    if (isCombo(cls) || isList(cls)) itemsJson(j, c, isCombo(cls));
    if (_wcsicmp(cls.c_str(), PROGRESS_CLASSW) == 0) {
        DWORD_PTR pos = 0, lo = 0, hi = 0;
        sendTimeout(c, PBM_GETPOS, 0, 0, pos);
        sendTimeout(c, PBM_GETRANGE, TRUE, 0, lo);
        sendTimeout(c, PBM_GETRANGE, FALSE, 0, hi);
        j.key("pos");
        j.num(static_cast<LONG_PTR>(pos));
        j.key("range");
        j.begin('[');
        j.num(static_cast<LONG_PTR>(lo));
        j.num(static_cast<LONG_PTR>(hi));
        j.end(']');
    }
    rectJson(j, c);
    j.end('}');
}

// Enumeration callbacks must be stdcall on 32-bit x86, which a lambda is not.
BOOL CALLBACK collectChild(HWND h, LPARAM lp) {
    reinterpret_cast<std::vector<HWND>*>(lp)->push_back(h);
    return TRUE;
}

std::vector<HWND> childrenOf(HWND top) {
    std::vector<HWND> out;
    EnumChildWindows(top, collectChild, reinterpret_cast<LPARAM>(&out));
    return out;
}

void windowJson(Json& j, HWND h, bool withControls) {
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    j.begin('{');
    j.key("hwnd");
    j.hex(reinterpret_cast<ULONG_PTR>(h));
    j.key("title");
    j.str(textOf(h));
    j.key("class");
    j.str(classOf(h));
    j.key("pid");
    j.num(pid);
    j.key("process");
    j.str(processImage(pid));
    j.key("owner");
    j.hex(reinterpret_cast<ULONG_PTR>(GetWindow(h, GW_OWNER)));
    j.key("visible");
    j.boolean(IsWindowVisible(h) != FALSE);
    j.key("enabled");
    j.boolean(IsWindowEnabled(h) != FALSE);
    j.key("foreground");
    j.boolean(GetForegroundWindow() == h);
    // Where the keys go: the control with the focus in the window's thread, and the
    // button Enter presses in a dialog.
    j.key("focus");
    GUITHREADINFO gui{};
    gui.cbSize = sizeof gui;
    if (GetGUIThreadInfo(GetWindowThreadProcessId(h, nullptr), &gui) && gui.hwndFocus && IsChild(h, gui.hwndFocus))
        j.num(GetDlgCtrlID(gui.hwndFocus));
    else j.null();
    j.key("default");
    DWORD_PTR defaultId = 0;
    if (classOf(h) == L"#32770" && sendTimeout(h, DM_GETDEFID, 0, 0, defaultId) && HIWORD(defaultId) == DC_HASDEFID)
        j.num(LOWORD(defaultId));
    else j.null();
    rectJson(j, h);
    if (withControls) {
        j.key("controls");
        j.begin('[');
        for (HWND c : childrenOf(h)) controlJson(j, c);
        j.end(']');
    }
    j.end('}');
}

// ---------------------------------------------------------------- finding windows

struct Selector {
    std::wstring title, exactTitle, cls, process;
    DWORD pid = 0;
    HWND hwnd = nullptr;
    bool anyId = false;
    int hasId = 0;
    bool any() const {
        return !title.empty() || !exactTitle.empty() || !cls.empty() || !process.empty() || pid || hwnd || anyId;
    }
};

std::wstring lower(std::wstring s) {
    CharLowerBuffW(&s[0], static_cast<DWORD>(s.size()));
    return s;
}

HWND findControl(HWND top, int id, bool preferVisible = true);

bool matches(HWND h, const Selector& s) {
    if (s.hwnd && h != s.hwnd) return false;
    if (!s.cls.empty() && classOf(h) != s.cls) return false;
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    if (s.pid && pid != s.pid) return false;
    if (!s.process.empty() && _wcsicmp(processImage(pid).c_str(), s.process.c_str()) != 0) return false;
    if (!s.title.empty() || !s.exactTitle.empty()) {
        std::wstring t;
        if (!windowText(h, t)) return false;
        if (!s.exactTitle.empty() && t != s.exactTitle) return false;
        if (!s.title.empty() && lower(t).find(lower(s.title)) == std::wstring::npos) return false;
    }
    if (s.anyId && !findControl(h, s.hasId, false)) return false;
    return true;
}

struct TopLevelScan {
    std::vector<HWND> out;
    bool all;
};

BOOL CALLBACK collectTop(HWND h, LPARAM lp) {
    auto* scan = reinterpret_cast<TopLevelScan*>(lp);
    if (scan->all || IsWindowVisible(h)) scan->out.push_back(h);
    return TRUE;
}

std::vector<HWND> topLevel(bool all) {
    TopLevelScan scan{{}, all};
    EnumWindows(collectTop, reinterpret_cast<LPARAM>(&scan));
    return scan.out;
}

HWND findWindowOnce(const Selector& s) {
    HWND firstMatch = nullptr;
    for (HWND h : topLevel(false)) {
        if (!matches(h, s)) continue;
        if (IsWindowEnabled(h)) return h;
        if (!firstMatch) firstMatch = h;
    }
    return firstMatch;
}

HWND findControl(HWND top, int id, bool preferVisible) {
    HWND fallback = nullptr;
    for (HWND c : childrenOf(top)) {
        if (GetDlgCtrlID(c) != id) continue;
        if (!preferVisible || IsWindowVisible(c)) return c;
        if (!fallback) fallback = c;
    }
    return fallback;
}

std::wstring describe(const Selector& s) {
    std::wstring d;
    auto add = [&d](const wchar_t* k, const std::wstring& v) {
        if (!d.empty()) d += L", ";
        d += k;
        d += v;
    };
    if (!s.title.empty()) add(L"title~", L"\"" + s.title + L"\"");
    if (!s.exactTitle.empty()) add(L"title=", L"\"" + s.exactTitle + L"\"");
    if (!s.cls.empty()) add(L"class=", s.cls);
    if (!s.process.empty()) add(L"process=", s.process);
    if (s.pid) add(L"pid=", std::to_wstring(s.pid));
    if (s.hwnd) add(L"hwnd=", std::to_wstring(reinterpret_cast<ULONG_PTR>(s.hwnd)));
    if (s.anyId) add(L"has-id=", std::to_wstring(s.hasId));
    return d.empty() ? L"any window" : d;
}

// Polls until `ready` holds or the deadline passes; returns whether it held.
template <typename F>
bool pollUntil(DWORD timeoutMs, F ready) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if (ready()) return true;
        if (GetTickCount64() >= deadline) return false;
        Sleep(kPollMs);
    }
}

// ---------------------------------------------------------------- command line

struct Args {
    std::wstring command;
    Selector sel;
    DWORD timeoutMs = 10000;
    bool hasId = false;
    int id = 0;
    bool hasText = false;
    std::wstring text;
    std::wstring button, item, key, value, report, cmdline, cwd;
    bool hasValue = false;
    int index = -1;
    int view = 0;
    bool all = false;
};

bool parseInt(const std::wstring& s, long long& out) {
    if (s.empty()) return false;
    wchar_t* end = nullptr;
    out = std::wcstoll(s.c_str(), &end, 0);
    return end && *end == L'\0';
}

bool parseArgs(int argc, wchar_t** argv, Args& a, std::wstring& err) {
    if (argc < 2) {
        err = L"missing command";
        return false;
    }
    a.command = argv[1];
    for (int i = 2; i < argc; ++i) {
        const std::wstring opt = argv[i];
        if (opt == L"--all") {
            a.all = true;
            continue;
        }
        if (i + 1 >= argc) {
            err = L"option " + opt + L" needs a value";
            return false;
        }
        const std::wstring v = argv[++i];
        long long n = 0;
        auto needInt = [&](long long& dst) {
            if (!parseInt(v, n)) {
                err = L"option " + opt + L" needs a number, got \"" + v + L"\"";
                return false;
            }
            dst = n;
            return true;
        };
        long long tmp = 0;
        if (opt == L"--title") a.sel.title = v;
        else if (opt == L"--exact-title") a.sel.exactTitle = v;
        else if (opt == L"--class") a.sel.cls = v;
        else if (opt == L"--process") a.sel.process = v;
        else if (opt == L"--pid") {
            if (!needInt(tmp)) return false;
            a.sel.pid = static_cast<DWORD>(tmp);
        } else if (opt == L"--hwnd") {
            if (!needInt(tmp)) return false;
            a.sel.hwnd = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(tmp));
        } else if (opt == L"--has-id") {
            if (!needInt(tmp)) return false;
            a.sel.anyId = true;
            a.sel.hasId = static_cast<int>(tmp);
        } else if (opt == L"--timeout") {
            if (!needInt(tmp)) return false;
            a.timeoutMs = static_cast<DWORD>(tmp);
        } else if (opt == L"--id") {
            if (!needInt(tmp)) return false;
            a.hasId = true;
            a.id = static_cast<int>(tmp);
        } else if (opt == L"--index") {
            if (!needInt(tmp)) return false;
            a.index = static_cast<int>(tmp);
        } else if (opt == L"--view") {
            if (!needInt(tmp)) return false;
            a.view = static_cast<int>(tmp);
        } else if (opt == L"--text") {
            a.hasText = true;
            a.text = v;
        } else if (opt == L"--button") a.button = lower(v);
        else if (opt == L"--item") a.item = v;
        else if (opt == L"--key") a.key = v;
        else if (opt == L"--value") {
            a.hasValue = true;
            a.value = v;
        } else if (opt == L"--report") a.report = v;
        else if (opt == L"--cmdline") a.cmdline = v;
        else if (opt == L"--cwd") a.cwd = v;
        else {
            err = L"unknown option " + opt;
            return false;
        }
    }
    return true;
}

// ---------------------------------------------------------------- commands

int cmdList(const Args& a) {
    Json j;
    j.begin('[');
    for (HWND h : topLevel(a.all)) windowJson(j, h, false);
    j.end(']');
    writeRaw(STD_OUTPUT_HANDLE, j.str() + "\n");
    return kOk;
}

int waitWindow(const Args& a, HWND& found) {
    found = nullptr;
    if (pollUntil(a.timeoutMs, [&] { return (found = findWindowOnce(a.sel)) != nullptr; })) return kOk;
    return fail(kNoWindow,
                L"no visible window (" + describe(a.sel) + L") within " + std::to_wstring(a.timeoutMs) + L" ms");
}

int printWindow(HWND h) {
    Json j;
    windowJson(j, h, true);
    writeRaw(STD_OUTPUT_HANDLE, j.str() + "\n");
    return kOk;
}

int cmdWait(const Args& a) {
    HWND h = nullptr;
    if (int rc = waitWindow(a, h)) return rc;
    return printWindow(h);
}

int cmdWaitGone(const Args& a) {
    if (pollUntil(a.timeoutMs, [&] { return findWindowOnce(a.sel) == nullptr; })) return kOk;
    return fail(kNoEffect,
                L"window (" + describe(a.sel) + L") still there after " + std::to_wstring(a.timeoutMs) + L" ms");
}

// Finds window and control together: a wizard may swap its page (and so its controls)
// while the window stays. `usable` also waits for visible + enabled, as a person can only
// use such a control.
int waitControl(const Args& a, bool usable, HWND& top, HWND& ctl) {
    if (!a.hasId) return fail(kUsage, L"--id is required for " + a.command);
    top = ctl = nullptr;
    const ULONGLONG start = GetTickCount64();
    if (int rc = waitWindow(a, top)) return rc;
    const ULONGLONG spent = GetTickCount64() - start;
    const DWORD rest = spent >= a.timeoutMs ? 0 : static_cast<DWORD>(a.timeoutMs - spent);
    const bool ok = pollUntil(rest, [&] {
        HWND h = findWindowOnce(a.sel);
        if (h) top = h;
        ctl = findControl(top, a.id);
        return ctl && (!usable || (IsWindowVisible(ctl) && IsWindowEnabled(ctl)));
    });
    if (ok) return kOk;
    if (!ctl)
        return fail(kNoControl, L"window \"" + textOf(top) + L"\" has no control with id " + std::to_wstring(a.id));
    return fail(kNoControl, L"control " + std::to_wstring(a.id) + L" (\"" + textOf(ctl) + L"\") in \"" + textOf(top) +
                                L"\" is " + (IsWindowVisible(ctl) ? L"disabled" : L"hidden"));
}

// Posted, not sent: a click that opens a modal box would otherwise keep the driver waiting
// until that box closes.
bool postClick(HWND ctl) { return PostMessageW(ctl, BM_CLICK, 0, 0) != FALSE; }

int cmdClick(const Args& a) {
    HWND top = nullptr, ctl = nullptr;
    if (int rc = waitControl(a, true, top, ctl)) return rc;
    if (!postClick(ctl)) return fail(kNoEffect, L"could not post the click");
    return kOk;
}

int cmdRadio(const Args& a) {
    HWND top = nullptr, ctl = nullptr;
    if (int rc = waitControl(a, true, top, ctl)) return rc;
    const ButtonKind kind = buttonKind(ctl);
    if (kind != ButtonKind::Radio && kind != ButtonKind::Check)
        return fail(kNoControl, L"control " + std::to_wstring(a.id) + L" is not a radio button");
    if (!postClick(ctl)) return fail(kNoEffect, L"could not post the click");
    // A radio without BS_AUTORADIOBUTTON only changes if its owner checks it: wait for that.
    if (kind == ButtonKind::Radio && !pollUntil(a.timeoutMs < 3000 ? a.timeoutMs : 3000, [&] {
            DWORD_PTR st = 0;
            return sendTimeout(ctl, BM_GETCHECK, 0, 0, st) && st == BST_CHECKED;
        }))
        return fail(kNoEffect, L"radio " + std::to_wstring(a.id) + L" did not become checked");
    return kOk;
}

int cmdType(const Args& a) {
    if (!a.hasText) return fail(kUsage, L"--text is required for type");
    HWND top = nullptr, ctl = nullptr;
    if (int rc = waitControl(a, true, top, ctl)) return rc;
    DWORD_PTR res = 0;
    if (!SendMessageTimeoutW(ctl, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(a.text.c_str()), SMTO_ABORTIFHUNG,
                             kSendTimeoutMs, &res) ||
        !res)
        return fail(kNoEffect, L"WM_SETTEXT to control " + std::to_wstring(a.id) + L" failed");
    std::wstring now;
    if (!windowText(ctl, now) || now != a.text)
        return fail(kNoEffect,
                    L"control " + std::to_wstring(a.id) + L" shows \"" + now + L"\" after typing (limit or filter?)");
    return kOk;
}

// Selects like a person picking an entry: the owner hears CBN_SELCHANGE / LBN_SELCHANGE,
// which CB_SETCURSEL alone never sends.
int cmdSelect(const Args& a) {
    HWND top = nullptr, ctl = nullptr;
    if (int rc = waitControl(a, true, top, ctl)) return rc;
    const std::wstring cls = classOf(ctl);
    const bool combo = isCombo(cls);
    if (!combo && !isList(cls))
        return fail(kNoControl, L"control " + std::to_wstring(a.id) + L" is a " + cls + L", not a combo or list box");
    int index = a.index;
    if (!a.item.empty()) {
        DWORD_PTR found = 0;
        if (!sendTimeout(ctl, combo ? CB_FINDSTRINGEXACT : LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                         reinterpret_cast<LPARAM>(a.item.c_str()), found) ||
            static_cast<LONG_PTR>(found) < 0)
            return fail(kNoControl, L"no item \"" + a.item + L"\" in control " + std::to_wstring(a.id));
        index = static_cast<int>(found);
    }
    if (index < 0) return fail(kUsage, L"select needs --index or --item");
    DWORD_PTR res = 0;
    if (!sendTimeout(ctl, combo ? CB_SETCURSEL : LB_SETCURSEL, index, 0, res) || static_cast<LONG_PTR>(res) == -1)
        return fail(kNoEffect, L"index " + std::to_wstring(index) + L" out of range");
    const WPARAM notify = MAKEWPARAM(GetDlgCtrlID(ctl), combo ? CBN_SELCHANGE : LBN_SELCHANGE);
    PostMessageW(GetParent(ctl), WM_COMMAND, notify, reinterpret_cast<LPARAM>(ctl));
    return kOk;
}

int cmdAnswer(const Args& a) {
    static const struct {
        const wchar_t* name;
        int id;
    } kButtons[] = {{L"ok", IDOK},
                    {L"cancel", IDCANCEL},
                    {L"abort", IDABORT},
                    {L"retry", IDRETRY},
                    {L"ignore", IDIGNORE},
                    {L"yes", IDYES},
                    {L"no", IDNO},
                    {L"close", IDCLOSE},
                    {L"tryagain", IDTRYAGAIN},
                    {L"continue", IDCONTINUE}};
    int id = 0;
    for (const auto& b : kButtons)
        if (a.button == b.name) id = b.id;
    if (!id) return fail(kUsage, L"unknown --button \"" + a.button + L"\"");
    Args withId = a;
    withId.hasId = true;
    withId.id = id;
    // Only windows that have the button: a box often shares its title with its owner.
    if (!withId.sel.anyId) {
        withId.sel.anyId = true;
        withId.sel.hasId = id;
    }
    HWND top = nullptr, ctl = nullptr;
    if (int rc = waitControl(withId, true, top, ctl)) return rc;
    if (!postClick(ctl)) return fail(kNoEffect, L"could not post the click");
    return kOk;
}

int cmdClose(const Args& a) {
    HWND h = nullptr;
    if (int rc = waitWindow(a, h)) return rc;
    if (!PostMessageW(h, WM_CLOSE, 0, 0)) return fail(kNoEffect, L"could not post WM_CLOSE");
    return kOk;
}

// What the dialog manager sends when the user presses Escape.
int cmdEscape(const Args& a) {
    HWND h = nullptr;
    if (int rc = waitWindow(a, h)) return rc;
    if (!PostMessageW(h, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0))
        return fail(kNoEffect, L"could not post Escape");
    return kOk;
}

// A user who keeps pressing the close button, Escape and Enter: the three, every few
// milliseconds, until the window has gone, so no gap in the window's own timing is missed.
// A question the window asks meanwhile keeps it there, and this fails.
int cmdHammer(const Args& a) {
    HWND h = nullptr;
    if (int rc = waitWindow(a, h)) return rc;
    const ULONGLONG deadline = GetTickCount64() + a.timeoutMs;
    while (IsWindow(h)) {
        if (GetTickCount64() > deadline) return fail(kNoEffect, L"the window did not go");
        PostMessageW(h, WM_CLOSE, 0, 0);
        PostMessageW(h, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        PostMessageW(h, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        Sleep(5);
    }
    return kOk;
}

// ---------------------------------------------------------------- registry

const wchar_t* regTypeName(DWORD t) {
    switch (t) {
    case REG_SZ: return L"REG_SZ";
    case REG_EXPAND_SZ: return L"REG_EXPAND_SZ";
    case REG_MULTI_SZ: return L"REG_MULTI_SZ";
    case REG_DWORD: return L"REG_DWORD";
    case REG_QWORD: return L"REG_QWORD";
    case REG_BINARY: return L"REG_BINARY";
    case REG_NONE: return L"REG_NONE";
    default: return L"REG_OTHER";
    }
}

void regDataJson(Json& j, DWORD type, const std::vector<BYTE>& data) {
    const auto* w = reinterpret_cast<const wchar_t*>(data.data());
    const size_t wlen = data.size() / sizeof(wchar_t);
    switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ: {
        size_t n = 0;
        while (n < wlen && w[n]) ++n;
        j.str(std::wstring(w, n));
        return;
    }
    case REG_MULTI_SZ: {
        j.begin('[');
        size_t i = 0;
        while (i < wlen && w[i]) {
            size_t n = 0;
            while (i + n < wlen && w[i + n]) ++n;
            j.str(std::wstring(w + i, n));
            i += n + 1;
        }
        j.end(']');
        return;
    }
    case REG_DWORD:
        if (data.size() >= 4) {
            DWORD v;
            std::memcpy(&v, data.data(), 4);
            j.num(v);
            return;
        }
        break;
    case REG_QWORD:
        if (data.size() >= 8) {
            unsigned long long v;
            std::memcpy(&v, data.data(), 8);
            j.num(static_cast<long long>(v));
            return;
        }
        break;
    default: break;
    }
    std::string hexText;
    char buf[4];
    for (BYTE b : data) {
        std::snprintf(buf, sizeof buf, "%02x", b);
        hexText += buf;
    }
    j.str(std::wstring(hexText.begin(), hexText.end()));
}

// Reads a key through the API with an explicit view, so a test sees exactly what a 32- or
// 64-bit program would, Unicode included.
int cmdReg(const Args& a) {
    static const struct {
        const wchar_t* name;
        HKEY key;
    } kRoots[] = {{L"HKLM", HKEY_LOCAL_MACHINE}, {L"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
                  {L"HKCU", HKEY_CURRENT_USER},  {L"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
                  {L"HKCR", HKEY_CLASSES_ROOT},  {L"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
                  {L"HKU", HKEY_USERS},          {L"HKEY_USERS", HKEY_USERS}};
    const size_t slash = a.key.find(L'\\');
    const std::wstring rootName = a.key.substr(0, slash);
    const std::wstring path = slash == std::wstring::npos ? L"" : a.key.substr(slash + 1);
    HKEY root = nullptr;
    for (const auto& r : kRoots)
        if (_wcsicmp(rootName.c_str(), r.name) == 0) root = r.key;
    if (!root) return fail(kUsage, L"unknown registry root in \"" + a.key + L"\"");
    REGSAM sam = KEY_READ;
    if (a.view == 32) sam |= KEY_WOW64_32KEY;
    else if (a.view == 64) sam |= KEY_WOW64_64KEY;
    else if (a.view != 0) return fail(kUsage, L"--view must be 32 or 64");

    Json j;
    j.begin('{');
    HKEY key = nullptr;
    const LONG openRc = RegOpenKeyExW(root, path.c_str(), 0, sam, &key);
    j.key("exists");
    j.boolean(openRc == ERROR_SUCCESS);
    if (openRc == ERROR_SUCCESS) {
        j.key("values");
        j.begin('{');
        for (DWORD i = 0;; ++i) {
            wchar_t name[16384];
            DWORD nameLen = 16384, type = 0, size = 0;
            if (RegEnumValueW(key, i, name, &nameLen, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) break;
            if (a.hasValue && _wcsicmp(name, a.value.c_str()) != 0) continue;
            std::vector<BYTE> data(size + 4, 0);
            nameLen = 16384;
            if (RegEnumValueW(key, i, name, &nameLen, nullptr, &type, data.data(), &size) != ERROR_SUCCESS) continue;
            data.resize(size);
            j.key(utf8(name).c_str());
            j.begin('{');
            j.key("type");
            j.str(regTypeName(type));
            j.key("data");
            regDataJson(j, type, data);
            j.end('}');
        }
        j.end('}');
        j.key("subkeys");
        j.begin('[');
        for (DWORD i = 0;; ++i) {
            wchar_t name[256];
            DWORD nameLen = 256;
            if (RegEnumKeyExW(key, i, name, &nameLen, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
            j.str(name);
        }
        j.end(']');
        RegCloseKey(key);
    }
    j.end('}');
    writeRaw(STD_OUTPUT_HANDLE, j.str() + "\n");
    return kOk;
}

int usage(const std::wstring& why);

// ---------------------------------------------------------------- processes

// Replaced whole, so a reader polling the file never sees half a report.
bool writeReport(const std::wstring& path, const std::string& body) {
    const std::wstring tmp = path + L".tmp";
    HANDLE f = CreateFileW(tmp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD done = 0;
    const bool ok = WriteFile(f, body.data(), static_cast<DWORD>(body.size()), &done, nullptr) && done == body.size();
    CloseHandle(f);
    return ok && MoveFileExW(tmp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

int cmdRun(const Args& a) {
    if (a.report.empty() || a.cmdline.empty()) return usage(L"run needs --report and --cmdline");
    // Hand our standard handles down, so the program's output reaches the test's log.
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    si.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    for (HANDLE h : {si.hStdInput, si.hStdOutput, si.hStdError})
        if (h && h != INVALID_HANDLE_VALUE) SetHandleInformation(h, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
    PROCESS_INFORMATION pi = {};
    std::vector<wchar_t> cmd(a.cmdline.begin(), a.cmdline.end());
    cmd.push_back(L'\0');
    if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, TRUE, 0, nullptr,
                        a.cwd.empty() ? nullptr : a.cwd.c_str(), &si, &pi)) {
        const DWORD err = GetLastError();
        writeReport(a.report, "{\"error\":" + std::to_string(err) + "}\n");
        return fail(kNoStart, L"cannot start " + a.cmdline + L" (error " + std::to_wstring(err) + L")");
    }
    // Whether the program runs as a 32-bit process on 64-bit Windows: tells a test which
    // build actually ran, whatever the file name says.
    BOOL wow64 = FALSE;
    const std::string started = "{\"pid\":" + std::to_string(pi.dwProcessId) + ",\"wow64\":" +
                                (!IsWow64Process(pi.hProcess, &wow64) ? "null"
                                 : wow64                              ? "true"
                                                                      : "false");
    writeReport(a.report, started + "}\n");
    WaitForSingleObject(pi.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    writeReport(a.report, started + ",\"exit_code\":" + std::to_string(code) + "}\n");
    return static_cast<int>(code & 0xFF);
}

int cmdKill(const Args& a) {
    if (!a.sel.pid) return usage(L"kill needs --pid");
    HANDLE p = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, a.sel.pid);
    if (!p) return fail(kNoWindow, L"no process " + std::to_wstring(a.sel.pid));
    const bool ok = TerminateProcess(p, 1) && WaitForSingleObject(p, 5000) == WAIT_OBJECT_0;
    CloseHandle(p);
    return ok ? kOk : fail(kNoEffect, L"process " + std::to_wstring(a.sel.pid) + L" did not end");
}

int usage(const std::wstring& why) {
    fail(kUsage, why);
    writeRaw(STD_ERROR_HANDLE,
             "usage: uidriver list [--all]\n"
             "       uidriver wait|dump|wait-gone|close|escape|hammer <window> [--timeout MS]\n"
             "       uidriver click|radio <window> --id N\n"
             "       uidriver type <window> --id N --text TEXT\n"
             "       uidriver select <window> --id N (--index I | --item TEXT)\n"
             "       uidriver answer <window> --button ok|cancel|yes|no|abort|retry|ignore\n"
             "       uidriver reg --key ROOT\\PATH [--value NAME] [--view 32|64]\n"
             "       uidriver run --report FILE --cmdline \"PROGRAM ARGS\" [--cwd DIR]\n"
             "       uidriver kill --pid N\n"
             "<window>: --title SUB --exact-title T --class C --process EXE --pid N --hwnd H "
             "--has-id N\n");
    return kUsage;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    // The driver must never show an error box of its own on the display under test.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    Args a;
    std::wstring err;
    if (!parseArgs(argc, argv, a, err)) return usage(err);
    const std::wstring& c = a.command;
    if (c == L"list") return cmdList(a);
    if (c == L"run") return cmdRun(a);
    if (c == L"kill") return cmdKill(a);
    if (c == L"reg") {
        if (a.key.empty()) return usage(L"reg needs --key");
        return cmdReg(a);
    }
    if (!a.sel.any()) return usage(c + L" needs a window selector");
    if (c == L"wait" || c == L"dump") return cmdWait(a);
    if (c == L"wait-gone") return cmdWaitGone(a);
    if (c == L"click") return cmdClick(a);
    if (c == L"radio") return cmdRadio(a);
    if (c == L"type") return cmdType(a);
    if (c == L"select") return cmdSelect(a);
    if (c == L"answer") return cmdAnswer(a);
    if (c == L"close") return cmdClose(a);
    if (c == L"escape") return cmdEscape(a);
    if (c == L"hammer") return cmdHammer(a);
    return usage(L"unknown command " + c);
}
