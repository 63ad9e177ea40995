#pragma once
// Crash reports as folders of files under one directory. Every report gets a folder
// named by the service (time of arrival and a unique suffix); each part is written under
// a fixed name chosen by its form field, never under the name the client sent, and a
// "report.txt" beside them records the request's fields and the names the client gave.
// A report is written into a hidden folder first and renamed into place when complete,
// so a report is either there whole or not at all.
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class CrashReportStore {
public:
    // One file part of a report.
    struct Part {
        std::string field;           // the form field: "crashLog", "crashMiniDump", ...
        std::string clientFileName;  // as sent; recorded (base name only), never used as a path
        std::string_view content;    // the file's bytes, owned by the caller
    };

    explicit CrashReportStore(std::filesystem::path folder);

    // The file name a part of `field` is stored under; empty for fields that are no
    // crash file.
    static std::string storedName(std::string_view field);

    // Writes one report: `fields` are the plain form fields to record (name, value),
    // `parts` the crash files, each of a known field at most once. Returns the report's
    // folder name, or an empty string with `error` set when nothing was kept.
    std::string store(const std::vector<std::pair<std::string, std::string>>& fields, const std::vector<Part>& parts,
                      std::int64_t received, std::string& error);

    const std::filesystem::path& folder() const { return folder_; }

private:
    std::filesystem::path folder_;
};
