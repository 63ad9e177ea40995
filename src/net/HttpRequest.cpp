#include "net/HttpRequest.h"

#include <cctype>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <string_view>
#include <system_error>
#include <thread>

#include "engine/Format.h"
#include "engine/Strings.h"
#include "engine/SystemHelpers.h"
#include "platform/CurlLibrary.h"

namespace {
constexpr char kHeaderAccept[] = "Accept: */*";
constexpr char kHeaderContentType[] =
    "Content-Type: multipart/form-data; boundary=---------------------------7d33992b80330";
constexpr char kHeaderPragma[] = "Pragma: no-cache";
// libcurl would otherwise ask for "100 Continue" before a larger body and wait for it.
constexpr char kHeaderNoExpect[] = "Expect:";
constexpr char kClosingDelimiter[] = "\r\n-----------------------------7d33992b80330--\r\n";

// The workers alive, for the bounded wait at exit, and libcurl's global state.
struct Workers {
    std::mutex mutex;
    std::condition_variable ended;
    int running = 0;
    bool curlReady = false;
    std::atomic<bool> abort{false};
};
// Never destroyed: the program's exit does not wait for a worker that has published its
// outcome and is still on its way out, nor for one the bounded wait gave up on, and each
// of them touches this state last.
Workers& workers() {
    static Workers* const w = new Workers;
    return *w;
}

void prepareCurl() {
    Workers& w = workers();
    std::lock_guard lock(w.mutex);
    const CurlLibrary* curl = CurlLibrary::get();
    if (!w.curlReady && curl) w.curlReady = curl->global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    w.abort = false;
}

void workerEnded() {
    Workers& w = workers();
    std::lock_guard lock(w.mutex);
    --w.running;
    w.ended.notify_all();
}

// The reply as it arrives: it grows geometrically and stops at the limit. A transfer in
// which no byte moves either way for `stallSeconds` ends as timed out.
struct Reception {
    std::vector<std::uint8_t> bytes;
    bool tooLarge = false;
    bool stalled = false;
    double stallSeconds = 0.0;
    curl_off_t moved = -1;  // bytes sent and received at the last movement
    std::chrono::steady_clock::time_point lastMovement = std::chrono::steady_clock::now();
};

std::size_t receive(char* data, std::size_t size, std::size_t count, void* user) {
    auto* r = static_cast<Reception*>(user);
    const std::size_t n = size * count;
    if (r->bytes.size() + n > HttpRequest::kMaxReplyBytes) {
        r->tooLarge = true;
        return 0;  // ends the transfer with a write error
    }
    r->bytes.insert(r->bytes.end(), data, data + n);
    return n;
}

// Called by libcurl at least once a second while a transfer runs; non-zero ends it.
int progress(void* user, curl_off_t, curl_off_t received, curl_off_t, curl_off_t sent) {
    if (workers().abort.load()) return 1;
    auto* r = static_cast<Reception*>(user);
    const auto now = std::chrono::steady_clock::now();
    if (received + sent != r->moved) {
        r->moved = received + sent;
        r->lastMovement = now;
    } else if (std::chrono::duration<double>(now - r->lastMovement).count() >= r->stallSeconds) {
        r->stalled = true;
        return 1;
    }
    return 0;
}

std::string narrow(const std::u16string& text) { return wideToUtf8(text); }

// A value of a standard field, cut by whole characters until its UTF-8 fits `limit`.
std::string fieldValue(std::u16string value, std::size_t limit) {
    std::string bytes = wideToUtf8(value);
    while (bytes.size() > limit && !value.empty()) {
        value.pop_back();
        bytes = wideToUtf8(value);
    }
    return bytes;
}

// The error text of a transfer that ended with `code`; `status` is the reply's status
// when one arrived (0 before), `connected` whether a connection stood.
std::u16string transferFailure(CURLcode code, long status, bool connected) {
    const auto number = static_cast<unsigned>(code);
    switch (code) {
        case CURLE_UNSUPPORTED_PROTOCOL:
        case CURLE_URL_MALFORMAT:
            return formatString(u"Could not open request (error %08x)", number);
        case CURLE_COULDNT_RESOLVE_HOST:
        case CURLE_COULDNT_RESOLVE_PROXY:
        case CURLE_COULDNT_CONNECT:
            return formatString(u"Could not connect (error %08x)", number);
        case CURLE_OPERATION_TIMEDOUT:
            if (!connected) return formatString(u"Could not connect (error %08x)", number);
            break;
        case CURLE_RECV_ERROR:
        case CURLE_PARTIAL_FILE:
        case CURLE_WRITE_ERROR:
            // The reply's status arrived, its body did not come whole: a failed read.
            if (status != 0) return formatString(u"Failed with HTTP status code %d", static_cast<int>(status));
            break;
        default:
            break;
    }
    return formatString(u"Could not send request (error %08x)", number);
}

// "text/plain", with or without parameters, in any case.
bool isPlainText(std::string_view contentType) {
    constexpr std::string_view kPlain = "text/plain";
    if (contentType.size() < kPlain.size()) return false;
    for (std::size_t i = 0; i < kPlain.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(contentType[i])) != kPlain[i]) return false;
    return contentType.size() == kPlain.size() || contentType[kPlain.size()] == ';' ||
           contentType[kPlain.size()] == ' ';
}

curl_slist* requestHeaders(const CurlLibrary& curl) {
    curl_slist* list = nullptr;
    for (const char* h : {kHeaderAccept, kHeaderContentType, kHeaderPragma, kHeaderNoExpect})
        list = curl.slist_append(list, h);
    return list;
}
}  // namespace

std::shared_ptr<HttpRequest> HttpRequest::create(std::u16string host, std::u16string path) {
    return std::make_shared<HttpRequest>(std::move(host), std::move(path));
}

HttpRequest::HttpRequest(std::u16string host_, std::u16string path_) : host(std::move(host_)), path(std::move(path_)) {}

void HttpRequest::appendBody(const void* bytes, std::uint32_t count) {
    bHasBody = true;
    const auto* b = static_cast<const std::uint8_t*>(bytes);
    if (count > 0) body.insert(body.end(), b, b + count);
}

void HttpRequest::addField(const void* bytes, std::uint32_t count, const std::u16string& name,
                           const std::u16string& fileName) {
    std::string header = "\r\n--";
    header += kBoundary;
    header += "\r\nContent-Disposition: form-data; name=\"" + narrow(name) + "\"";
    if (!fileName.empty())
        header += "; filename=\"" + narrow(fileName) + "\"\r\nContent-Type: application/octet-stream";
    header += "\r\n\r\n";
    appendBody(header.data(), static_cast<std::uint32_t>(header.size()));
    appendBody(bytes, count);
}

void HttpRequest::addStandardFields() {
    const std::pair<const char16_t*, std::string> fields[] = {
        {u"platform", fieldValue(getPlatformName(), 31)},
        {u"gameName", fieldValue(kBuildName, 31)},
        {u"gameVersion", fieldValue(kVersion, 15)},
        {u"gamePatch", fieldValue(kPatch, 31)},
    };
    for (const auto& [name, value] : fields)
        addField(value.data(), static_cast<std::uint32_t>(value.size()), name, u"");
}

void HttpRequest::start() {
    if (bHasBody) appendBody(kClosingDelimiter, sizeof(kClosingDelimiter) - 1);
    prepareCurl();
    state.store(Running, std::memory_order_release);
    {
        std::lock_guard lock(workers().mutex);
        ++workers().running;
    }
    try {
        std::thread([self = shared_from_this()] {
            self->run();
            workerEnded();
        }).detach();
    } catch (const std::system_error& e) {
        workerEnded();
        fail(formatString(u"Thread creation failed (error %08x)", static_cast<unsigned>(e.code().value())));
    }
}

void HttpRequest::fail(std::u16string text) {
    errorText = std::move(text);
    finish(Failed);
}

void HttpRequest::finish(State outcome) { state.store(outcome, std::memory_order_release); }

void HttpRequest::run() {
    const CurlLibrary* library = CurlLibrary::get();
    CURL* curl = library ? library->easy_init() : nullptr;
    if (!curl) return fail(formatString(u"Could not open internet session (error %08x)", 2u));
    const std::string url = "http://" + narrow(host) + narrow(path);
    const std::string agent = narrow(kBuildName);
    const CurlLibrary& c = *library;
    curl_slist* headers = requestHeaders(c);
    Reception reception;
    reception.stallSeconds = static_cast<double>(stallTimeoutSeconds);
    c.easy_setopt(curl, CURLOPT_URL, url.c_str());
    c.easy_setopt(curl, CURLOPT_USERAGENT, agent.c_str());
    c.easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    c.easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    c.easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, connectTimeoutSeconds);
    c.easy_setopt(curl, CURLOPT_WRITEFUNCTION, &receive);
    c.easy_setopt(curl, CURLOPT_WRITEDATA, &reception);
    c.easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    c.easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &progress);
    c.easy_setopt(curl, CURLOPT_XFERINFODATA, &reception);
    if (bHasBody) {
        c.easy_setopt(curl, CURLOPT_POST, 1L);
        c.easy_setopt(curl, CURLOPT_POSTFIELDS, body.data());
        c.easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
    }
    CURLcode code = c.easy_perform(curl);
    if (reception.stalled) code = CURLE_OPERATION_TIMEDOUT;
    long answered = 0;
    curl_off_t connectTime = 0;
    const char* contentType = nullptr;
    c.easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &answered);
    c.easy_getinfo(curl, CURLINFO_CONNECT_TIME_T, &connectTime);
    c.easy_getinfo(curl, CURLINFO_CONTENT_TYPE, &contentType);
    const bool plainText = contentType && isPlainText(contentType);
    c.easy_cleanup(curl);
    c.slist_free_all(headers);
    if (code != CURLE_OK) return fail(transferFailure(code, answered, connectTime > 0));
    // A refused request still carries the server's reason: it is kept with the failure.
    status = answered;
    bPlainText = plainText;
    reply = ByteBuffer(reception.bytes.data(), static_cast<std::uint32_t>(reception.bytes.size()));
    if (status < 200 || status > 299)
        return fail(formatString(u"Failed with HTTP status code %d", static_cast<int>(status)));
    finish(Done);
}

HttpRequest::State HttpRequest::takeState() {
    const State s = getState();
    if (s == Failed || s == Done) state.store(Idle, std::memory_order_relaxed);
    return s;
}

std::u16string HttpRequest::getReplyText() const {
    const std::uint8_t* p = reply.pData;
    const std::uint32_t n = reply.size;
    if (n >= 3 && p[0] == 0xEF && p[1] == 0xBB && p[2] == 0xBF)
        return utf8ToWide(std::string_view(reinterpret_cast<const char*>(p) + 3, n - 3));
    if (n >= 2 && p[0] == 0xFF && p[1] == 0xFE) {
        std::u16string text;
        for (std::uint32_t i = 2; i + 1 < n; i += 2) {
            const auto unit = static_cast<char16_t>(p[i] | p[i + 1] << 8);
            if (unit == 0) break;
            text.push_back(unit);
        }
        return text;
    }
    return utf8ToWide(std::string_view(reinterpret_cast<const char*>(p), n));
}

bool HttpRequest::isRefusal() const {
    if (status < 100 || (status >= 200 && status <= 299) || !bPlainText) return false;
    const std::u16string text = getReplyText();
    return text.find_first_not_of(u" \t\r\n") != std::u16string::npos;
}

bool HttpRequest::shutdown(double seconds) {
    Workers& w = workers();
    std::unique_lock lock(w.mutex);
    w.abort = true;
    const bool allEnded =
        w.ended.wait_for(lock, std::chrono::duration<double>(seconds), [&w] { return w.running == 0; });
    // A worker still inside libcurl must not see its global state torn down.
    if (allEnded && w.curlReady) {
        CurlLibrary::get()->global_cleanup();
        w.curlReady = false;
    }
    return allEnded;
}

int HttpRequest::runningWorkers() {
    std::lock_guard lock(workers().mutex);
    return workers().running;
}
