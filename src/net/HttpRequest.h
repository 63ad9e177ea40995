#pragma once
// One HTTP request to the game's web service, run on a worker thread of its own so that
// the screen that made it keeps drawing while it runs.
//
// Use: create() with the host ("name" or "name:port") and the path; addStandardFields();
// addField() for each form part; start(); then once per frame takeState(): at Failed show
// errorText (or, for a refusal, the server's own reason in the reply), at Done read
// getReplyText() or reply. The body is a multipart/form-data form; a request with a body
// is a POST, one without a GET.
//
// Ownership: shared. The screen keeps one std::shared_ptr, the worker another while it
// runs, so a screen that closes mid-request just drops its pointer and the request frees
// itself when its worker ends. A request is started once.
//
// Threads: before start() only the main thread touches the request. From start() to the
// final state the worker alone writes errorText, reply and state, and writes the state
// last (release); the main thread reads errorText and reply only after takeState() or
// getState() (acquire) has shown Failed or Done. Nothing else is shared, nothing locked.
//
// At program exit shutdown() aborts the transfers still running and waits a bounded time
// for their workers before libcurl is cleaned up. A worker still running after that, or
// still ending when the program exits, touches nothing that the exit destroys.
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/ByteBuffer.h"

class HttpRequest : public std::enable_shared_from_this<HttpRequest> {
public:
    enum State : std::int32_t { Idle = 0, Running = 1, Failed = 2, Done = 3 };
    // The form's boundary; each delimiter line in the body has two more hyphens in front.
    static constexpr const char* kBoundary = "---------------------------7d33992b80330";
    // A longer reply fails as a failed read: no reply of the service comes near it.
    static constexpr std::uint32_t kMaxReplyBytes = 16u << 20;

    static std::shared_ptr<HttpRequest> create(std::u16string host, std::u16string path);
    HttpRequest(std::u16string host, std::u16string path);
    virtual ~HttpRequest() = default;
    HttpRequest(const HttpRequest&) = delete;
    HttpRequest& operator=(const HttpRequest&) = delete;

    // Appends raw bytes to the body (a body exists from the first call on, even empty).
    void appendBody(const void* bytes, std::uint32_t count);
    // One form part: a plain field when fileName is empty, else a file upload of
    // application/octet-stream. Names travel as UTF-8.
    void addField(const void* bytes, std::uint32_t count, const std::u16string& name, const std::u16string& fileName);
    // "platform", "gameName", "gameVersion" and "gamePatch": every user adds them first.
    void addStandardFields();
    // Closes the body and starts the worker. A worker that cannot be made fails at once.
    void start();
    // The worker's body.
    void run();

    // The state as the worker last published it.
    State getState() const { return static_cast<State>(state.load(std::memory_order_acquire)); }
    // The state, read once; a final state (Failed, Done) goes back to Idle, so that each
    // outcome is handled once.
    State takeState();
    // The reply as text: a UTF-8 byte-order mark is skipped, FF FE marks UTF-16
    // little-endian (up to its first zero unit), anything else is UTF-8; a sequence cut
    // off at the end becomes U+FFFD.
    std::u16string getReplyText() const;
    // Once Failed: the server answered, with a status outside 200 to 299 and a plain-text
    // reason in the reply. The request was refused; the connection itself worked.
    bool isRefusal() const;

    // Process-wide. shutdown() asks every running transfer to stop, waits up to `seconds`
    // for the workers, and cleans libcurl up when none is left; true when none was left.
    static bool shutdown(double seconds);
    static int runningWorkers();

    std::u16string errorText;  // set before the state becomes Failed
    ByteBuffer reply;          // the whole reply body, once Done or Failed with a status
    long status = 0;           // the reply's HTTP status; 0 while none arrived
    bool bPlainText = false;   // the reply says it is text/plain
    std::u16string host;
    std::u16string path;
    std::vector<std::uint8_t> body;
    bool bHasBody = false;
    // How long the worker waits for a connection, and then for any byte to move either
    // way while the server stays silent, before the request fails (seconds).
    long connectTimeoutSeconds = 15;
    long stallTimeoutSeconds = 30;

private:
    void fail(std::u16string text);
    void finish(State outcome);

    std::atomic<std::int32_t> state{Idle};
};
