#pragma once
// Crash reports as folders of files under one directory. Every report gets a folder
// named by the service (time of arrival and a unique suffix); each part is written under
// a fixed name chosen by its form field, never under the name the client sent, and a
// "report.txt" beside them records the request's fields and the names the client gave.
// A report is written into a hidden folder as it arrives (a `Draft`) and renamed into
// place when complete, so a report is either there whole or not at all.
//
// Two limits keep a flood of reports in check: the disk space all reports take together,
// and the reports taken from one address in an hour. A report claims its room before its
// body is read, so that one over a limit is refused before it is sent.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "HourlyLimit.h"

class CrashReportStore {
public:
    struct Limits {
        std::uint64_t diskBytes = std::uint64_t{1} << 30;  // all reports together
        int reportsPerHour = 10;                           // from one address
    };

    // Room held for one report from the time it is announced until it is kept or dropped.
    // A report counts against its address from its claim on, unless its body came whole
    // and was still not kept (refused as malformed, or lost by the service's own fault):
    // a claim left to lapse by a silent or vanished client would otherwise cost nothing
    // and could be made again at once.
    class Claim {
    public:
        ~Claim();
        Claim(const Claim&) = delete;
        Claim& operator=(const Claim&) = delete;

        // The report's whole body has come.
        void arrived() { arrived_ = true; }

    private:
        friend class CrashReportStore;
        Claim(CrashReportStore& store, std::string address, std::uint64_t bytes, HourlyLimit::Taken taken)
            : store_(store), address_(std::move(address)), bytes_(bytes), taken_(taken) {}
        CrashReportStore& store_;
        std::string address_;
        std::uint64_t bytes_;
        HourlyLimit::Taken taken_;
        bool kept_ = false;
        bool arrived_ = false;
    };

    // A report being written, file by file, into a hidden folder; removed unless kept.
    class Draft {
    public:
        ~Draft();
        Draft(const Draft&) = delete;
        Draft& operator=(const Draft&) = delete;

        // Starts the file of `field` (a crash file field, at most once per report).
        bool beginFile(std::string_view field, std::string_view clientFileName, std::string& error);
        bool write(std::string_view bytes, std::string& error);
        // Ends the file begun last, flushed to the disk.
        bool endFile(std::string& error);

        // True once writing to the disk failed: the report's failure is then the service's
        // own, not its sender's.
        bool diskFailed() const { return diskFailed_; }
        std::size_t fileCount() const { return files_.size(); }
        std::uint64_t bytes() const;

    private:
        friend class CrashReportStore;
        struct File {
            std::string field;
            std::string clientFileName;
            std::uint64_t size = 0;
        };
        explicit Draft(std::filesystem::path folder) : folder_(std::move(folder)) {}
        std::filesystem::path folder_;
        std::vector<File> files_;
        int fd_ = -1;
        bool diskFailed_ = false;
    };

    // Removes what an interrupted earlier run left half written in `folder`, and counts
    // the space the reports there take.
    CrashReportStore(std::filesystem::path folder, Limits limits);
    explicit CrashReportStore(std::filesystem::path folder) : CrashReportStore(std::move(folder), Limits{}) {}

    // The file name a part of `field` is stored under; empty for fields that are no
    // crash file.
    static std::string storedName(std::string_view field);

    // Claims room for a report of up to `bytes` from `address`, received at `now`. Null
    // with a sentence for the client in `error` when a limit would be exceeded.
    std::shared_ptr<Claim> claim(const std::string& address, std::uint64_t bytes, std::int64_t now, std::string& error);

    // A new, empty report; null with `error` set when its folder cannot be made.
    std::unique_ptr<Draft> draft(std::string& error);

    // Completes `draft` under `claim`: records `fields` (name, value) and the files, and
    // moves the report into place. Returns the report's folder name, or an empty string
    // with `error` set when nothing was kept.
    std::string keep(Draft& draft, Claim& claim, const std::vector<std::pair<std::string, std::string>>& fields,
                     std::int64_t received, std::string& error);

    const std::filesystem::path& folder() const { return folder_; }
    // The bytes the kept reports take.
    std::uint64_t usedBytes();

private:
    void release(Claim& claim);

    std::filesystem::path folder_;
    Limits limits_;
    HourlyLimit reports_;  // the claims of each address
    std::mutex mutex_;     // guards the counts below
    std::uint64_t used_ = 0;
    std::uint64_t claimed_ = 0;
    std::int64_t lastCount_ = 0;  // when the folder was last counted
};
