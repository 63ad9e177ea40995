#include "engine/BackgroundSave.h"

#include <cerrno>
#include <utility>

#include "engine/DiskFile.h"
#include "engine/Logger.h"
#include "engine/UserFileGuard.h"

BackgroundSave::~BackgroundSave() {
    {
        std::lock_guard lock(mutex);
        stopping = true;
    }
    changed.notify_all();
    if (worker.joinable()) worker.join();
}

bool BackgroundSave::save(const std::u16string& path, Contents contents) {
    reportFailures();
    if (UserFileGuard::isProtected(path)) {
        QOR_LOG("BackgroundSave::save", u"'%s' is not saved: it is left as it was found at the start.", path);
        return false;
    }
    {
        std::lock_guard lock(mutex);
        waiting = Job{path, std::move(contents)};
    }
    changed.notify_all();
    if (!worker.joinable()) worker = std::thread([this] { run(); });
    return true;
}

void BackgroundSave::finish() {
    {
        std::unique_lock lock(mutex);
        changed.wait(lock, [this] { return !waiting && !writing; });
    }
    reportFailures();
}

void BackgroundSave::run() {
    std::unique_lock lock(mutex);
    for (;;) {
        changed.wait(lock, [this] { return waiting || stopping; });
        if (!waiting) return;  // stopping, with nothing left to write
        Job job = std::move(*waiting);
        waiting.reset();
        writing = true;
        lock.unlock();
        const std::vector<std::uint8_t> bytes = job.contents();
        int error = ENOMEM;  // the only reason the bytes cannot be made
        const bool ok = !bytes.empty() && DiskFile::writeAtomically(job.path, bytes.data(), bytes.size(), error);
        lock.lock();
        writing = false;
        if (!ok) failures.push_back({std::move(job.path), error});
        changed.notify_all();
    }
}

void BackgroundSave::reportFailures() {
    std::vector<Failure> failed;
    {
        std::lock_guard lock(mutex);
        failed.swap(failures);
    }
    for (const Failure& f : failed) {
        QOR_LOG("BackgroundSave::save", u"Could not save '%s': %s", f.path, DiskFile::describeError(f.error));
        UserFileGuard::reportFailedSave(f.path, f.error);
    }
}
