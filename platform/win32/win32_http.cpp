// HTTP through WinINet, loaded from the system folder when the first session opens (it is
// not one of the loader's known DLLs, so it is not imported).
#include "platform/win32/win32_system.h"

#include <wininet.h>

#include "platform/win32/wide.h"

namespace {

struct WinInet {
    ModuleHandle module;
    decltype(&InternetOpenW) open = nullptr;
    decltype(&InternetOpenUrlW) openUrl = nullptr;
    decltype(&HttpQueryInfoW) queryInfo = nullptr;
    decltype(&InternetReadFile) readFile = nullptr;
    decltype(&InternetCloseHandle) close = nullptr;

    bool load() {
        if (module) return true;
        module = loadSystemLibrary(L"wininet.dll");
        open = exportOf<decltype(open)>(module.get(), "InternetOpenW");
        openUrl = exportOf<decltype(openUrl)>(module.get(), "InternetOpenUrlW");
        queryInfo = exportOf<decltype(queryInfo)>(module.get(), "HttpQueryInfoW");
        readFile = exportOf<decltype(readFile)>(module.get(), "InternetReadFile");
        close = exportOf<decltype(close)>(module.get(), "InternetCloseHandle");
        return open && openUrl && queryInfo && readFile && close;
    }
};

// Loaded once and kept: handles of any session depend on it.
WinInet& winInet() {
    static WinInet* const api = new WinInet;
    return *api;
}

// An internet handle, closed through the loaded library.
class InternetHandle {
public:
    explicit InternetHandle(HINTERNET h) : handle_(h) {}
    ~InternetHandle() {
        if (handle_) winInet().close(handle_);
    }
    InternetHandle(const InternetHandle&) = delete;
    InternetHandle& operator=(const InternetHandle&) = delete;
    HINTERNET get() const { return handle_; }

private:
    HINTERNET handle_;
};

class Response : public platform::HttpResponse {
public:
    explicit Response(HINTERNET request) : request_(request) {}

    int statusCode() override {
        DWORD status = 0, size = sizeof status;
        if (!winInet().queryInfo(request_.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size,
                                 nullptr))
            return 0;
        return static_cast<int>(status);
    }

    bool contentLength(std::u16string& text) override {
        wchar_t buffer[64] = {};
        DWORD size = sizeof buffer - sizeof(wchar_t);
        if (!winInet().queryInfo(request_.get(), HTTP_QUERY_CONTENT_LENGTH, buffer, &size, nullptr)) return false;
        text = fromWide(buffer);
        return true;
    }

    bool read(unsigned char* buffer, std::size_t size, std::size_t& got) override {
        DWORD n = 0;
        got = 0;
        const DWORD want = static_cast<DWORD>(size > 0x40000000u ? 0x40000000u : size);
        if (!winInet().readFile(request_.get(), buffer, want, &n)) return false;
        got = n;
        return true;
    }

private:
    InternetHandle request_;
};

class Session : public platform::HttpSession {
public:
    explicit Session(HINTERNET session) : session_(session) {}

    std::unique_ptr<platform::HttpResponse> open(const std::u16string& url) override {
        static const wchar_t kHeaders[] = L"Accept: */*\r\n\r\n";
        // The URL's scheme picks plain HTTP or TLS and the default port (443 for https):
        // no INTERNET_FLAG_SECURE is needed. A server certificate this computer does not
        // trust fails the request; no certificate error is ever ignored.
        HINTERNET request =
            winInet().openUrl(session_.get(), toWide(url).c_str(), kHeaders, static_cast<DWORD>(-1),
                              INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_TRANSFER_BINARY, 1);
        if (!request) return nullptr;
        return std::make_unique<Response>(request);
    }

private:
    // Declared before any request it makes, so requests are closed first.
    InternetHandle session_;
};

}  // namespace

std::unique_ptr<platform::HttpSession> Win32System::openHttpSession(const std::u16string& agent) {
    if (!winInet().load()) return nullptr;
    HINTERNET session = winInet().open(toWide(agent).c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    if (!session) return nullptr;
    return std::make_unique<Session>(session);
}
