#pragma once
// One user file saved atomically on a worker thread of its own, so that a save in the
// middle of play costs the frame no more than handing over a copy of its record: the
// file's bytes are made (packed) on the worker, and the flush to the disk can take far
// longer than a frame.
//
// Saves are written in the order they are asked for. One asked for while another is
// being written waits; a newer one replaces it while it waits, so the file always ends
// as the newest save asked for. The checks and reports of UserFileGuard stay on the main
// thread: a protected file is not saved, and a write that failed is logged and reported
// at the next save() or finish().
//
// Lifetime: the worker starts with the first save and ends with the object, which waits
// for the writes still under way. Main thread only (apart from the worker itself).
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

class BackgroundSave {
public:
    BackgroundSave() = default;
    ~BackgroundSave();
    BackgroundSave(const BackgroundSave&) = delete;
    BackgroundSave& operator=(const BackgroundSave&) = delete;

    // The file's bytes, made on the worker thread; empty when they could not be made.
    using Contents = std::function<std::vector<std::uint8_t>()>;

    // Hands `contents` over to be written to `path`; false, and nothing written, while
    // the file is protected (UserFileGuard). Contents that come out empty are a failed
    // save: the file stays as it was.
    bool save(const std::u16string& path, Contents contents);
    // Waits until every save asked for is on the disk (or has failed), then logs and
    // reports the failures. A synchronous save of the same file goes after it.
    void finish();

private:
    struct Job {
        std::u16string path;
        Contents contents;
    };
    struct Failure {
        std::u16string path;
        int error = 0;
    };

    void run();
    // Logs and reports the failures the worker left (main thread).
    void reportFailures();

    std::mutex mutex;  // guards the four fields below
    std::condition_variable changed;
    std::optional<Job> waiting;
    bool writing = false;
    bool stopping = false;
    std::vector<Failure> failures;
    std::thread worker;
};
