#pragma once
// Where the world-wide high scores live. The web service sees only this interface, so a
// database server can take over from the single-machine store without touching the
// routes. Implementations are called from many request threads at once.
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "ScoreUpload.h"

class ScoreStore {
public:
    // Who sent an upload, kept beside it.
    struct Source {
        std::string platform;   // the request's "platform" field
        std::string version;    // its "gameVersion" field
        std::int64_t received;  // seconds since 1970-01-01 UTC
    };

    // The best entry of one installation in one table.
    struct BestEntry {
        std::uint32_t installationId;
        std::string countryCode;  // the installation's latest, "--" when not given
        std::string name;         // valid UTF-8, not escaped
        std::int32_t score;       // thousandths of a percent
        std::int64_t time;        // when it was made, seconds since 1970-01-01 UTC
    };

    // What `store` returns when it could not have the database in time, another process
    // holding it: nothing was kept, and the upload may well be kept when it is sent again
    // later. kBusy when the store's own patience ran out, kStopping when the end of waits
    // set by `endWaitsBy` came first.
    static constexpr int kBusy = -2;
    static constexpr int kStopping = -3;

    virtual ~ScoreStore() = default;

    // Keeps the upload and those of its entries not kept before (an entry is known by its
    // table, installation and digest), all or nothing; an upload without a new entry
    // leaves nothing behind. Returns the number of new entries; kBusy or kStopping, or -1,
    // with `error` set, when nothing was kept.
    virtual int store(const ScoreUpload& upload, const Source& source, std::string& error) = 0;
    // The best entry of each installation in `table` (0..4), best first, at most `limit`;
    // equal scores in the order they were made. Of an installation's equal best scores
    // the one made first counts. Costs the same however many installations there are.
    virtual std::vector<BestEntry> bestEntries(int table, int limit) = 0;
    // Whether an upload of `installationId` has been kept (false when it cannot be told).
    virtual bool hasInstallation(std::uint32_t installationId) = 0;
    // Uploads kept so far.
    virtual std::int64_t uploadCount() = 0;
    // From now on every wait of the store for its database (for a lock another process
    // holds, say) ends by `deadline` at the latest, and a call that could not have the
    // database by then fails with kStopping: so that a stopping service can still answer
    // its requests. Nor is anything kept after it: a call whose upload is not kept by then
    // fails with kStopping too, so that none is kept whose answer may not go out.
    // `deadline` is on the clock the store reads for its waits, which the service's server
    // must read too. From any thread; a later deadline than one set before changes nothing.
    virtual void endWaitsBy(std::chrono::steady_clock::time_point deadline) = 0;
};
