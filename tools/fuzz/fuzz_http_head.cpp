// The web service's reader of request heads: any bytes must be refused with a status and
// one line, or read into a request that keeps the promises the server's callers rely on.
// A head that was read is written out again in its plainest form and read once more: the
// second reading must give the same request.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "RequestReader.h"

namespace {

bool isToken(std::string_view text, bool lowerOnly) {
    if (text.empty()) return false;
    for (const unsigned char c : text) {
        if ((c >= 'A' && c <= 'Z') && lowerOnly) return false;
        if (c <= ' ' || c >= 0x7f ||
            std::string_view("\"(),/:;<=>?@[\\]{}").find(static_cast<char>(c)) != std::string_view::npos)
            return false;
    }
    return true;
}

void require(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "broken promise: %s\n", what);
    std::abort();
}

void check(const HttpServer::Request& request, const std::string& version) {
    require(isToken(request.method, false), "the method is a token");
    require(request.path.starts_with('/'), "the path starts with a slash");
    for (const std::string* text : {&request.path, &request.query})
        for (const unsigned char c : *text) require(c > ' ' && c < 0x7f, "the target is visible ASCII");
    require(request.path.find('?') == std::string::npos, "the query is split off");
    require(version == "HTTP/1.1" || version == "HTTP/1.0", "the version is known");
    int hosts = 0;
    for (const auto& [name, value] : request.headers) {
        require(isToken(name, true), "a header name is a token in lower case");
        for (const unsigned char c : value) require(c >= ' ' ? c != 0x7f : c == '\t', "a value has no control bytes");
        require(value.empty() ||
                    (value.front() != ' ' && value.front() != '\t' && value.back() != ' ' && value.back() != '\t'),
                "a value is trimmed");
        require(name != "transfer-encoding", "no transfer coding is taken");
        hosts += name == "host";
    }
    require(hosts == 1 || (hosts == 0 && version == "HTTP/1.0"), "the host is named once");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view head(reinterpret_cast<const char*>(data), size);
    head = head.substr(0, head.find("\r\n\r\n"));
    HttpServer::Request request;
    std::string version;
    if (const auto refused = RequestReader::readHead(head, request, version)) {
        require(refused->status == 400 || refused->status == 411 || refused->status == 505, "a known refusal");
        require(refused->body.ends_with('\n') && refused->body.find('\n') == refused->body.size() - 1,
                "a refusal is one line");
        return 0;
    }
    check(request, version);

    // A query given as a bare "?" is lost on the way, which makes no difference.
    std::string again =
        request.method + " " + request.path + (request.query.empty() ? "" : "?") + request.query + " " + version;
    for (const auto& [name, value] : request.headers) again += "\r\n" + name + ": " + value;
    HttpServer::Request second;
    std::string secondVersion;
    require(!RequestReader::readHead(again, second, secondVersion), "a head written out again is read again");
    require(second.method == request.method && second.path == request.path && second.query == request.query &&
                second.headers == request.headers && second.contentLength == request.contentLength &&
                secondVersion == version,
            "a head written out again reads the same");
    return 0;
}
