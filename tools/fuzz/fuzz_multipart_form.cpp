// The web service's form parser: a body taken whole and the same body taken in pieces cut
// at random must give the same parts, the same bytes in each and the same end, with the
// same error; any difference aborts. The first byte of the input seeds the cuts, the next
// ones up to a line break give the boundary; the rest is the body. No part's bytes may
// hold a delimiter, and parts begin and end in turn.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "MultipartForm.h"

namespace {

class Recorder : public MultipartParser::Events {
public:
    explicit Recorder(std::string delimiter) : delimiter_(std::move(delimiter)) {}

    std::string log;

    bool partBegin(const std::string& name, const std::string& fileName, std::string& error) override {
        if (inPart_) fail("a part begins inside another");
        inPart_ = true;
        log += "begin " + name + " | " + fileName + "\n";
        // A sender's field that the caller refuses ends the form as the crash report does.
        if (name == "refused") {
            error = "Refused.";
            return false;
        }
        return true;
    }
    bool partData(std::string_view bytes, std::string&) override {
        if (!inPart_) fail("bytes outside a part");
        if (bytes.empty()) fail("an empty piece of a part");
        data_.append(bytes);
        return true;
    }
    bool partEnd(std::string&) override {
        if (!inPart_) fail("a part ends that did not begin");
        if (data_.find(delimiter_) != std::string::npos) fail("a part holds a delimiter");
        log += "data " + std::to_string(data_.size()) + ": " + data_ + "\nend\n";
        data_.clear();
        inPart_ = false;
        return true;
    }
    // What a part that never ended received.
    void close() {
        if (inPart_) log += "unended " + std::to_string(data_.size()) + ": " + data_ + "\n";
    }

private:
    static void fail(const char* what) {
        std::fprintf(stderr, "broken promise: %s\n", what);
        std::abort();
    }
    std::string delimiter_;
    bool inPart_ = false;
    std::string data_;
};

std::string parse(const std::string& boundary, std::string_view body, std::uint32_t seed) {
    Recorder recorder("\r\n--" + boundary);
    MultipartParser parser(boundary, recorder);
    std::string error;
    bool ok = true;
    std::uint32_t state = seed;
    while (ok && !body.empty()) {
        std::size_t piece = body.size();
        if (seed != 0) {
            state ^= state << 13;
            state ^= state >> 17;
            state ^= state << 5;
            piece = std::min<std::size_t>(piece, 1 + (state % 8 == 0 ? state % 4096 : state % 24));
        }
        ok = parser.feed(body.substr(0, piece), error);
        body.remove_prefix(piece);
    }
    if (ok) ok = parser.finish(error);
    recorder.close();
    return recorder.log + (ok ? "ok" : "error: " + error);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::uint32_t seed = 0x9e3779b9u * (data[0] + 1u);
    std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::size_t lineEnd = rest.find('\n');
    if (lineEnd == std::string_view::npos) return 0;
    std::string boundary =
        MultipartParser::boundaryOf("multipart/form-data; boundary=" + std::string(rest.substr(0, lineEnd)));
    if (boundary.empty()) boundary = "b";
    rest.remove_prefix(lineEnd + 1);

    const std::string whole = parse(boundary, rest, 0);
    const std::string pieces = parse(boundary, rest, seed);
    if (whole != pieces) {
        std::fprintf(stderr, "whole and in pieces differ:\n-- whole:\n%s\n-- in pieces:\n%s\n", whole.c_str(),
                     pieces.c_str());
        std::abort();
    }
    Form form;
    std::string error;
    MultipartForm::parse("multipart/form-data; boundary=" + boundary, rest, form, error);
    return 0;
}
