// HTTP through WinINet, loaded from the system folder when the first session opens (it is
// not one of the loader's known DLLs, so it is not imported).
//
// A server that stops sending must neither hold a download for ever nor keep Cancel from
// being answered. Every connection gets connect, send and receive time-outs, set on its own
// connection handle because Wine takes them from there only (not from the session, and not
// through InternetOpenUrlW). And every call that waits for the server runs on a thread of
// the session while the worker keeps asking its stop condition: a synchronous WinINet call
// cannot be cut short (under Wine, closing its handle from another thread does not end it).
// A call left behind that way still owns its handles and buffer, and lets them go itself
// when it returns, at the latest when its time-out strikes.
#include "platform/win32/win32_system.h"

#include <wininet.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <memory>
#include <vector>

#include "platform/win32/wide.h"

namespace {

struct WinInet {
    ModuleHandle module;
    decltype(&InternetOpenW) open = nullptr;
    decltype(&InternetSetOptionW) setOption = nullptr;
    decltype(&InternetCrackUrlW) crackUrl = nullptr;
    decltype(&InternetConnectW) connect = nullptr;
    decltype(&HttpOpenRequestW) openRequest = nullptr;
    decltype(&HttpSendRequestW) sendRequest = nullptr;
    decltype(&HttpQueryInfoW) queryInfo = nullptr;
    decltype(&InternetReadFile) readFile = nullptr;
    decltype(&InternetCloseHandle) close = nullptr;

    bool load() {
        if (module) return true;
        module = loadSystemLibrary(L"wininet.dll");
        open = exportOf<decltype(open)>(module.get(), "InternetOpenW");
        setOption = exportOf<decltype(setOption)>(module.get(), "InternetSetOptionW");
        crackUrl = exportOf<decltype(crackUrl)>(module.get(), "InternetCrackUrlW");
        connect = exportOf<decltype(connect)>(module.get(), "InternetConnectW");
        openRequest = exportOf<decltype(openRequest)>(module.get(), "HttpOpenRequestW");
        sendRequest = exportOf<decltype(sendRequest)>(module.get(), "HttpSendRequestW");
        queryInfo = exportOf<decltype(queryInfo)>(module.get(), "HttpQueryInfoW");
        readFile = exportOf<decltype(readFile)>(module.get(), "InternetReadFile");
        close = exportOf<decltype(close)>(module.get(), "InternetCloseHandle");
        return open && setOption && crackUrl && connect && openRequest && sendRequest && queryInfo && readFile && close;
    }
};

// Loaded once and kept: handles of any session depend on it.
WinInet& winInet() {
    static WinInet* const api = new WinInet;
    return *api;
}

// An internet handle, closed through the loaded library.
struct CloseInternetHandle {
    void operator()(HINTERNET h) const { winInet().close(h); }
};
using InternetHandle = UniqueHandle<HINTERNET, CloseInternetHandle>;

void setTimeouts(HINTERNET handle, DWORD ms) {
    for (DWORD option :
         {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT})
        winInet().setOption(handle, option, &ms, sizeof ms);
}

// One request and what it hangs from: whichever of the worker and a call left behind lets go
// last closes the request, then its connection, then (with the last request) the session.
struct Request {
    std::shared_ptr<InternetHandle> session;
    InternetHandle connection;
    InternetHandle request;  // declared after its connection, so it is closed first
};

// The GET of one URL: always fetched anew, never stored in the cache, binary, "Accept: */*";
// no request when the URL is not http or https or the server cannot be reached in time.
void sendGet(Request& r, const std::wstring& url, DWORD timeoutMs) {
    URL_COMPONENTSW parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwHostNameLength = parts.dwUrlPathLength = parts.dwExtraInfoLength = 1;  // pointers into url
    if (!winInet().crackUrl(url.c_str(), 0, 0, &parts)) return;
    if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) return;
    const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
    std::wstring object = std::wstring(parts.lpszUrlPath, parts.dwUrlPathLength) +
                          std::wstring(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    if (object.empty()) object = L"/";
    r.connection.reset(
        winInet().connect(r.session->get(), host.c_str(), parts.nPort, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 1));
    if (!r.connection) return;
    setTimeouts(r.connection.get(), timeoutMs);
    DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_TRANSFER_BINARY;
    // TLS for https, on the URL's port (443 by default): a server certificate this computer
    // does not trust fails the request; no certificate error is ever ignored.
    if (parts.nScheme == INTERNET_SCHEME_HTTPS) flags |= INTERNET_FLAG_SECURE;
    InternetHandle request(
        winInet().openRequest(r.connection.get(), L"GET", object.c_str(), nullptr, nullptr, nullptr, flags, 1));
    static const wchar_t kHeaders[] = L"Accept: */*\r\n\r\n";
    if (request && winInet().sendRequest(request.get(), kHeaders, static_cast<DWORD>(-1), nullptr, 0))
        r.request = std::move(request);
}

// Runs one call at a time on a thread of its own while the caller waits and polls its stop
// condition. A call the caller stops waiting for is left to finish alone; the thread then
// ends, and takes no more calls.
class CallThread {
public:
    CallThread() : shared_(std::make_shared<Shared>()) {
        if (!shared_->wake || !shared_->done) return;
        auto* handed = new std::shared_ptr<Shared>(shared_);
        thread_.reset(CreateThread(nullptr, 0, main, handed, 0, nullptr));
        if (!thread_) delete handed;
    }
    // Not waited for: a call left behind may still be waiting for its server.
    ~CallThread() {
        if (!thread_) return;
        shared_->ending = true;
        SetEvent(shared_->wake.get());
    }
    CallThread(const CallThread&) = delete;
    CallThread& operator=(const CallThread&) = delete;

    // False when stop() turned true before the call returned. Without a thread the call runs
    // here, and cannot be stopped.
    bool run(std::function<void()> call, const std::function<bool()>& stop) {
        return start(std::move(call), stop) && finish(stop);
    }

    // Hands a call over without waiting for it; finish() waits. A call still under way when
    // the next one comes is waited for first.
    bool start(std::function<void()> call, const std::function<bool()>& stop) {
        if (started_ && !finish(stop)) return false;
        if (left_) return false;
        if (!thread_) {
            call();
            started_ = true;
            return true;
        }
        shared_->state = kRunning;
        shared_->call = std::move(call);
        SetEvent(shared_->wake.get());
        started_ = true;
        return true;
    }

    // False when stop() turned true before the started call returned.
    bool finish(const std::function<bool()>& stop) {
        if (!started_) return !left_;
        started_ = false;
        if (!thread_) return true;
        for (;;) {
            if (WaitForSingleObject(shared_->done.get(), kPollMs) == WAIT_OBJECT_0) return true;
            if (!stop || !stop()) continue;
            int running = kRunning;
            if (shared_->state.compare_exchange_strong(running, kLeft)) {
                left_ = true;
                return false;
            }
            // It returned in the meantime.
            WaitForSingleObject(shared_->done.get(), INFINITE);
            return true;
        }
    }

private:
    static constexpr DWORD kPollMs = 50;
    enum { kRunning, kReturned, kLeft };
    struct Shared {
        KernelHandle wake{CreateEventW(nullptr, FALSE, FALSE, nullptr)};
        KernelHandle done{CreateEventW(nullptr, FALSE, FALSE, nullptr)};
        std::function<void()> call;  // handed over through wake
        std::atomic<bool> ending{false};
        std::atomic<int> state{kReturned};  // settled by whoever changes it from kRunning first
    };

    static DWORD WINAPI main(void* parameter) {
        const std::unique_ptr<std::shared_ptr<Shared>> owned(static_cast<std::shared_ptr<Shared>*>(parameter));
        Shared& shared = **owned;
        for (;;) {
            WaitForSingleObject(shared.wake.get(), INFINITE);
            if (shared.ending) return 0;
            std::function<void()> call = std::move(shared.call);
            try {
                call();
            } catch (...) {}  // nothing may unwind out of a thread; the call left no result
            call = nullptr;   // what the call holds goes here, whether or not anyone still waits
            int running = kRunning;
            if (!shared.state.compare_exchange_strong(running, kReturned)) return 0;
            SetEvent(shared.done.get());
        }
    }

    std::shared_ptr<Shared> shared_;
    KernelHandle thread_;
    bool started_ = false;  // a call was handed over and not yet waited for
    bool left_ = false;
};

// What the call thread read, in a buffer of its own: a read left behind may still be writing
// into it.
struct Chunk {
    std::vector<unsigned char> bytes;
    DWORD got = 0;
    BOOL ok = FALSE;
    ULONGLONG ms = 0;  // how long the read took
};

class Response : public platform::HttpResponse {
public:
    Response(std::shared_ptr<Request> request, CallThread& calls, const std::function<bool()>& stop)
        : request_(std::move(request)),
          calls_(calls),
          stop_(stop),
          chunk_(std::make_shared<Chunk>()),
          ahead_(std::make_shared<Chunk>()) {}

    int statusCode() override {
        DWORD status = 0, size = sizeof status;
        if (!winInet().queryInfo(handle(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr))
            return 0;
        return static_cast<int>(status);
    }

    bool contentLength(std::u16string& text) override {
        wchar_t buffer[64] = {};
        DWORD size = sizeof buffer - sizeof(wchar_t);
        if (!winInet().queryInfo(handle(), HTTP_QUERY_CONTENT_LENGTH, buffer, &size, nullptr)) return false;
        text = fromWide(buffer);
        return true;
    }

    // Each trip to the call thread costs a few thread switches, so it reads at least 64 KiB,
    // and smaller reads are served from what it brought. A read returns only when it is full
    // (or the reply ends), so the pieces grow up to 1 MiB only while they arrive quickly: a
    // slow server's bytes still reach the caller, and its figures, as they come. A reply read
    // more than once is being streamed: from then on the next piece is on its way while the
    // caller works on this one. A reply read once (a size, a digest) never has a read
    // waiting on its server in the background.
    bool read(unsigned char* buffer, std::size_t size, std::size_t& got) override {
        got = 0;
        if (failed_) return false;  // the chunk may still belong to a read left behind
        if (size == 0) return true;
        if (taken_ == chunk_->got) {
            if (aheadStarted_) {
                aheadStarted_ = false;
                failed_ = !calls_.finish(stop_) || !ahead_->ok;
                if (failed_) return false;
                std::swap(chunk_, ahead_);
            } else {
                failed_ = !calls_.run(readInto(chunk_, piece(size)), stop_) || !chunk_->ok;
                if (failed_) return false;
            }
            taken_ = 0;
            piece_ = chunk_->got == piece_ && chunk_->ms <= kQuickMs ? std::min(piece_ * 2, kMostRead) : kLeastRead;
            if (++fetches_ > 1 && chunk_->got > 0)
                aheadStarted_ = calls_.start(readInto(ahead_, piece(size)), stop_);
        }
        got = std::min<std::size_t>(size, chunk_->got - taken_);
        std::memcpy(buffer, chunk_->bytes.data() + taken_, got);
        taken_ += got;
        return true;
    }

private:
    static constexpr DWORD kLeastRead = 65536, kMostRead = 1 << 20;
    static constexpr ULONGLONG kQuickMs = 20;

    DWORD piece(std::size_t asked) const {
        return static_cast<DWORD>(std::clamp<std::size_t>(asked, piece_, 0x40000000u));
    }

    HINTERNET handle() const { return request_->request.get(); }

    // One read of the call thread; it holds the chunk and the request until it returns.
    std::function<void()> readInto(const std::shared_ptr<Chunk>& chunk, DWORD want) const {
        return [chunk, request = request_, want] {
            if (chunk->bytes.size() < want) chunk->bytes.resize(want);
            chunk->got = 0;
            const ULONGLONG started = GetTickCount64();
            chunk->ok = winInet().readFile(request->request.get(), chunk->bytes.data(), want, &chunk->got);
            chunk->ms = GetTickCount64() - started;
        };
    }

    std::shared_ptr<Request> request_;
    CallThread& calls_;  // the session's: a response never outlives its session
    const std::function<bool()>& stop_;
    std::shared_ptr<Chunk> chunk_;  // being handed out
    std::shared_ptr<Chunk> ahead_;  // being filled by a read ahead
    std::size_t taken_ = 0;         // bytes of the chunk already handed out
    DWORD piece_ = kLeastRead;  // what the next read asks for at least
    int fetches_ = 0;
    bool aheadStarted_ = false;
    bool failed_ = false;
};

class Session : public platform::HttpSession {
public:
    Session(std::shared_ptr<InternetHandle> session, std::function<bool()> stopWaiting, DWORD timeoutMs)
        : session_(std::move(session)), stopWaiting_(std::move(stopWaiting)), timeoutMs_(timeoutMs) {}

    std::unique_ptr<platform::HttpResponse> open(const std::u16string& url) override {
        auto request = std::make_shared<Request>();
        request->session = session_;
        const DWORD timeoutMs = timeoutMs_;
        if (!calls_.run([request, wide = toWide(url), timeoutMs] { sendGet(*request, wide, timeoutMs); },
                        stopWaiting_) ||
            !request->request)
            return nullptr;
        return std::make_unique<Response>(std::move(request), calls_, stopWaiting_);
    }

private:
    std::shared_ptr<InternetHandle> session_;
    std::function<bool()> stopWaiting_;
    DWORD timeoutMs_;
    CallThread calls_;
};

}  // namespace

std::unique_ptr<platform::HttpSession> Win32System::openHttpSession(const std::u16string& agent,
                                                                    std::function<bool()> stopWaiting) {
    if (!winInet().load()) return nullptr;
    auto session = std::make_shared<InternetHandle>(
        winInet().open(toWide(agent).c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!*session) return nullptr;
    // Windows hands these down to every connection; Wine is given them per connection.
    setTimeouts(session->get(), httpTimeoutMs_);
    return std::make_unique<Session>(std::move(session), std::move(stopWaiting), httpTimeoutMs_);
}
