#pragma once
// Score databases made for the benchmark's cases: so many installations, each with an entry
// in every table, written straight to the store's database.
#include <sqlite3.h>

#include <cstdio>
#include <string>

namespace bench {

// Fills the store's database at `path` with `installations` installations, each with one
// entry in every table, in one transaction, their names padded with spaces to
// `nameWidth` characters when given (long names make a long high-score page); false when
// it fails.
inline bool fillInstallations(const std::string& path, int installations, int nameWidth = 0) {
    const std::string name = "'Player ' || (1 + i / 5)";
    const std::string sql = "BEGIN; WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
                            std::to_string(installations) +
                            ") INSERT INTO installations SELECT i, 'DE', 0 FROM n; "
                            "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 5 * " +
                            std::to_string(installations) +
                            " - 1) INSERT INTO scores SELECT i % 5, 1 + i / 5, randomblob(16), " +
                            (nameWidth > 0 ? "printf('%-" + std::to_string(nameWidth) + "s', " + name + ")" : name) +
                            ", abs(random()) % 100000, 1700000000 + i, 0 FROM n; COMMIT;";
    sqlite3* db = nullptr;
    const bool filled = sqlite3_open(path.c_str(), &db) == SQLITE_OK &&
                        sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
    if (!filled) std::fprintf(stderr, "service: cannot fill %s: %s\n", path.c_str(), sqlite3_errmsg(db));
    sqlite3_close(db);
    return filled;
}

}  // namespace bench
