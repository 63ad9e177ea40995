#pragma once
// Crash reports as folders of files under one directory. Every report gets a folder
// named by the service (time of arrival and a unique suffix); each part is written under
// a fixed name chosen by its form field, never under the name the client sent, and a
// "report.txt" beside them records the request's fields and the names the client gave.
// A report is written into a hidden folder as it arrives (a `Draft`) and renamed into
// place when complete, so a report is either there whole or not at all.
//
// Three limits keep a flood of reports in check: the disk space all reports take
// together, the reports taken from one address in an hour, and the reports on their way
// from one address at once (an IPv6 address counts by its /64: see `AddressNetwork`). A
// report is claimed before its body is read, so that one over a limit is refused before
// it is sent; its claim on the space then grows with the bytes that come, so that reports
// which announce much and send little hold little.
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "AddressNetwork.h"
#include "HourlyLimit.h"

class CrashReportStore {
public:
    struct Limits {
        std::uint64_t diskBytes = std::uint64_t{1} << 30;  // all reports together
        int reportsPerHour = 10;                           // from one address
        std::size_t networks = HourlyLimit::kNetworks;     // whose reports are counted at once
        // From one address at once, from its head until it is answered or dropped: a few
        // players behind one address crash together seldom, while a flood from a few
        // addresses would otherwise hold every report the server takes at once. 0: no limit.
        int reportsAtOnce = kReportsAtOnce;
    };
    static constexpr int kReportsAtOnce = 4;

    // One report from the time it is announced until it is kept or dropped: the space its
    // bytes take so far, its count against its address, and its place among the reports
    // on their way from its address. The count stands for what the client did (a report
    // kept or refused as malformed, a body left to lapse or cut off, a client gone), so
    // that such claims cannot be made again at once; a report the service turns away for
    // its own reasons gives it back.
    class Claim {
    public:
        ~Claim();
        Claim(const Claim&) = delete;
        Claim& operator=(const Claim&) = delete;

        // Holds room for `bytes` of the report in all. False with a sentence for the
        // client in `error` when that would take the reports past their space: the report
        // is then refused and counts no more.
        bool grow(std::uint64_t bytes, std::string& error);
        // The service turned the report away for reasons of its own (short of room, a
        // failed disk, stopping): it does not count against its address.
        void refusedByService() { refusedByService_ = true; }

    private:
        friend class CrashReportStore;
        Claim(CrashReportStore& store, std::string address, AddressNetwork network, HourlyLimit::Taken taken)
            : store_(store), address_(std::move(address)), network_(network), taken_(taken) {}
        CrashReportStore& store_;
        std::string address_;
        AddressNetwork network_;
        std::uint64_t bytes_ = 0;  // held for the report
        HourlyLimit::Taken taken_;
        bool refusedByService_ = false;
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
        bool diskFailed() const { return failure_ != 0; }
        // True when that failure was for want of a file descriptor, the process's or the
        // system's: want of room, not a fault of the disk.
        bool outOfFiles() const { return failure_ == EMFILE || failure_ == ENFILE; }
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
        int failure_ = 0;  // the error writing to the disk failed with
    };

    // Removes what an interrupted earlier run left half written in `folder`, and counts
    // the space the reports there take.
    CrashReportStore(std::filesystem::path folder, Limits limits);
    explicit CrashReportStore(std::filesystem::path folder) : CrashReportStore(std::move(folder), Limits{}) {}

    // The file name a part of `field` is stored under; empty for fields that are no
    // crash file.
    static std::string storedName(std::string_view field);

    // Claims a report of up to `bytes` from `address`, received at `now`. Null with a
    // sentence for the client in `error` when its address has as many reports on their
    // way as it may, or has sent its hour's worth (or is crowded out while the service
    // counts too many others: see HourlyLimit), or when `bytes` would not fit in the space
    // free now. No room is held yet: see `grow`.
    std::unique_ptr<Claim> claim(const std::string& address, std::uint64_t bytes, std::int64_t now, std::string& error);

    // A new, empty report; null with `error` set when its folder cannot be made.
    std::unique_ptr<Draft> draft(std::string& error);

    // Completes `draft`: records `fields` (name, value) and the files, and moves the
    // report into place. Returns the report's folder name, or an empty string with
    // `error` set when nothing was kept.
    std::string keep(Draft& draft, const std::vector<std::pair<std::string, std::string>>& fields,
                     std::int64_t received, std::string& error);

    const std::filesystem::path& folder() const { return folder_; }
    // The bytes the kept reports take.
    std::uint64_t usedBytes();

private:
    bool enter(const AddressNetwork& network);
    void leave(const AddressNetwork& network);
    void release(Claim& claim);

    std::filesystem::path folder_;
    Limits limits_;
    HourlyLimit reports_;                       // the claims of each address
    std::mutex mutex_;                          // guards the counts below
    std::uint64_t used_ = 0;                    // by the reports kept
    std::uint64_t claimed_ = 0;                 // by the reports on their way
    std::int64_t lastCount_ = 0;                // when the folder was last counted
    std::map<AddressNetwork, int> onTheirWay_;  // claims alive, by the network of their address
};
