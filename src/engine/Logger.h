#pragma once
// The log: one UTF-8 text file in the data folder, recreated at each start. Every line
// is prefixed with the milliseconds since the previous line ("+12<TAB>text"), or just
// a tab for the first line and for lines within the same millisecond, and reaches the
// disk before log() returns, so a crash loses nothing that was logged.
//
// Engine code writes through QOR_LOG("Class::method", u"format", args...), which gives
// the line "Class::method(): message".
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/Format.h"

class ClassInfo;
class SystemClock;

class Logger {
public:
    // Creates the file at `path` and writes the header. The file is never opened through
    // a link nor as anything but a regular file; when it cannot be created the log goes
    // to standard error instead (its first lines say why), so that nothing is lost.
    explicit Logger(std::u16string path = getLogPath());
    Logger(std::u16string path, const SystemClock& clock);
    virtual ClassInfo* getClass() const;
    virtual ~Logger();
    Logger(const Logger&) = delete;
    Logger& operator=(const Logger&) = delete;

    static ClassInfo classInfo;

    template <class... A>
    void log(std::u16string_view format, const A&... args) {
        if (fd >= 0) writeLine(formatString(format, args...));
    }
    // "method(): message"; the message is text, never a format.
    void logFrom(const char* method, const std::u16string& message);

    // Closes the file and copies it to the crash log; later lines are dropped. A log on
    // standard error is only ended.
    void closeAndCopy();

    // "method(): message" added to the log file at `path` after the engine and its log
    // have gone (what the program does on its way out), with the same care as the log
    // itself: never through a link, only to a regular file, else to standard error.
    static void appendAfterEnd(const char* method, const std::u16string& message, const std::u16string& path);

    // The data folder, the build name and ".log".
    static std::u16string getLogPath();
    const std::u16string& getPath() const { return path; }
    bool isOnStandardError() const { return onStandardError; }

private:
    void open();
    void writeHeader();
    void writeLine(const std::u16string& message);

    std::u16string path;
    int fd = -1;                   // the open log file (or standard error), -1 when none
    bool onStandardError = false;  // the file could not be created
    int openError = 0;             // why not: errno, or DiskFile::kNotRegularFile
    const SystemClock& clock;
    bool hasPreviousLine = false;
    std::uint32_t previousLineMs = 0;  // millisecond clock at the last line
};

// Writes "method(): message" through the engine's log, when there is one.
void logFrom(const char* method, const std::u16string& message);

#define QOR_LOG(method, ...) logFrom(method, formatString(__VA_ARGS__))
