#include "WebService.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "CrashReportStore.h"
#include "HelpPage.h"
#include "HomePage.h"
#include "MultipartForm.h"
#include "NetTestReply.h"
#include "ScoreStore.h"
#include "ScoreTablePage.h"
#include "ScoreUpload.h"
#include "StandardFields.h"

namespace {

constexpr const char* kText = "text/plain; charset=utf-8";
constexpr const char* kHtml = "text/html; charset=utf-8";

using Request = HttpServer::Request;
using Response = HttpServer::Response;

Response reply(std::string body, const char* type) {
    Response response;
    response.contentType = type;
    response.body = std::move(body);
    return response;
}

// Faults of the service's own storage go to its standard error, for whoever runs it.
void logFault(const char* what, const std::string& error) {
    std::fprintf(stderr, "torvane_service: %s not stored: %s\n", what, error.c_str());
}

std::int64_t now() {
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

std::size_t bodyLimit(const std::string& path) {
    if (path == "/tv2/nettest.php") return WebService::kNetTestBodyLimit;
    if (path == "/tv2/highscoreupload.php") return WebService::kUploadBodyLimit;
    if (path == "/tv2/crashreport.php") return WebService::kCrashReportBodyLimit;
    return WebService::kOtherBodyLimit;
}

constexpr const char* kPostPaths[] = {"/tv2/nettest.php", "/tv2/highscoreupload.php", "/tv2/crashreport.php"};
constexpr const char* kPagePaths[] = {"/", "/tv2/highscoretable.php", "/tv2/onlinehelp.php"};

bool isOneOf(const std::string& path, const auto& paths) {
    for (const char* p : paths)
        if (path == p) return true;
    return false;
}

// The refusal of a method the route at `head`'s path does not take; nothing when it takes
// it, or when there is no such route.
std::optional<Response> wrongMethod(const Request& head) {
    const bool post = isOneOf(head.path, kPostPaths);
    const bool taken = post ? head.method == "POST" : head.method == "GET" || head.method == "HEAD";
    if (taken || (!post && !isOneOf(head.path, kPagePaths))) return std::nullopt;
    Response response = HttpServer::refusal(
        405, post ? "This address takes only the game's POST requests." : "This address takes only GET requests.");
    response.headers.emplace_back("Allow", post ? "POST" : "GET, HEAD");
    return response;
}

// A crash report's handler holds two files at once: the body read back and the crash file
// being written (removing a failed draft takes none).
constexpr std::size_t kCrashReportFiles = 2;

// The form of a small POST, with the standard fields read; a refusal otherwise.
std::optional<Response> readForm(const Request& request, Form& form, StandardFields& fields) {
    const std::string* type = request.header("content-type");
    std::string error;
    if (!MultipartForm::parse(type ? *type : "", request.body, form, error) || !fields.read(form, error))
        return HttpServer::refusal(400, error);
    return std::nullopt;
}

// The address the client reached us on, "a.b.c.d:port" for the game's network port;
// empty when it was no IPv4 address (one mapped into IPv6 counts as IPv4).
std::string masterServerFor(const Request& request) {
    std::string local = request.localAddress;
    if (local.starts_with("::ffff:")) local.erase(0, 7);
    in_addr address{};
    if (inet_pton(AF_INET, local.c_str(), &address) != 1) return {};
    return local + ":" + std::to_string(WebService::kGamePort);
}

// A crash report's form as it streams in: the standard fields are kept in memory (a few
// bytes each), the crash files go straight into the report's draft.
class CrashReportForm : public MultipartParser::Events {
public:
    explicit CrashReportForm(CrashReportStore::Draft& draft) : draft_(draft) {}

    bool partBegin(const std::string& name, const std::string& fileName, std::string& error) override {
        inFile_ = !StandardFields::isStandard(name);
        if (!inFile_) {
            // Each of the four is expected once; a few more are kept to be refused by name.
            if (plain.size() >= 8) {
                error = "The form has the \"" + name + "\" field more than once.";
                return false;
            }
            field_ = plain.emplace(name, FormPart{fileName, {}});
            return true;
        }
        if (CrashReportStore::storedName(name).empty() || fileName.empty()) {
            error = "Unexpected form field \"" + name + "\".";
            return false;
        }
        return draft_.beginFile(name, fileName, error);
    }
    bool partData(std::string_view bytes, std::string& error) override {
        if (inFile_) return draft_.write(bytes, error);
        // A standard field is short: what goes beyond is only kept to be refused.
        std::string& content = field_->second.content;
        content.append(
            bytes.substr(0, std::min(bytes.size(), kLongestField - std::min(content.size(), kLongestField))));
        return true;
    }
    bool partEnd(std::string& error) override { return !inFile_ || draft_.endFile(error); }

    Form plain;

private:
    static constexpr std::size_t kLongestField = 256;
    CrashReportStore::Draft& draft_;
    bool inFile_ = false;
    Form::iterator field_;
};

// A crash report's claim in the store, as the server sees it: the space it holds grows
// with the bytes spooled, and a refusal of the server's own does not count against its
// address.
class ReportClaim final : public HttpServer::Claim {
public:
    explicit ReportClaim(std::unique_ptr<CrashReportStore::Claim> claim) : claim_(std::move(claim)) {}

    std::optional<Response> bodyArrived(std::uint64_t bytes) override {
        std::string error;
        if (claim_->grow(bytes, error)) return std::nullopt;
        return HttpServer::refusal(429, error);
    }
    void refusedByServer() override { claim_->refusedByService(); }

    CrashReportStore::Claim& inStore() { return *claim_; }

private:
    std::unique_ptr<CrashReportStore::Claim> claim_;
};

}  // namespace

WebService::WebService(ScoreStore& scores, CrashReportStore& crashes, HttpServer::Limits limits,
                       int newInstallationsPerHour, std::size_t newInstallationNetworks)
    : scores_(scores),
      crashes_(crashes),
      scoreTables_(scores),
      newInstallations_(newInstallationsPerHour, {}, newInstallationNetworks),
      busyUploads_(limits.clock),
      server_(*this, limits) {}

// Decides before a body is read: a method the route does not take is refused, the route's
// limit is checked against the announced length, and a crash report claims its room in
// the store.
HttpServer::Admission WebService::admit(const Request& head) {
    HttpServer::Admission admission;
    const std::size_t limit = bodyLimit(head.path);
    if (std::optional<Response> refused = wrongMethod(head)) {
        admission.refusal = std::move(refused);
    } else if (head.contentLength > limit) {
        admission.refusal = HttpServer::refusal(413, "The request body of " + std::to_string(head.contentLength) +
                                                         " bytes exceeds the limit of " + std::to_string(limit) +
                                                         " bytes for this address.");
    } else if (head.method == "POST" && head.path == "/tv2/crashreport.php") {
        const std::string* type = head.header("content-type");
        std::string error;
        if (MultipartParser::boundaryOf(type ? *type : "").empty()) {
            admission.refusal = HttpServer::refusal(400, "Expected a multipart/form-data POST.");
        } else if (auto claim = crashes_.claim(head.remoteAddress, head.contentLength, now(), error)) {
            admission.claim = std::make_shared<ReportClaim>(std::move(claim));
            admission.spoolFolder = crashes_.folder().string();
            admission.files = kCrashReportFiles;
        } else {
            admission.refusal = HttpServer::refusal(429, error);
        }
    }
    return admission;
}

// The answers of requests still on workers must go out by `deadline`: an upload waiting
// for the scores' database is turned away then.
void WebService::stopping(HttpServer::Clock::time_point deadline) {
    busyUploads_.stopping(busyUploads_.now());
    scores_.endWaitsBy(deadline);
}

// Each route's method was checked at its head.
Response WebService::handle(Request& request) {
    const std::string& path = request.path;
    if (path == "/tv2/nettest.php") return handleNetTest(request);
    if (path == "/tv2/highscoreupload.php") return handleUpload(request);
    if (path == "/tv2/crashreport.php") return handleCrashReport(request);
    if (path == "/") return reply(HomePage::render(), kHtml);
    if (path == "/tv2/highscoretable.php") return handleScoreTable(request);
    if (path == "/tv2/onlinehelp.php") return reply(HelpPage::render(), kHtml);
    return HttpServer::refusal(404, "There is no such page.");
}

Response WebService::handleNetTest(const Request& request) {
    Form form;
    StandardFields fields;
    if (auto refused = readForm(request, form, fields)) return *refused;
    return reply(NetTestReply::build(masterServerFor(request), "Welcome to the Torvane 2 web service!"),
                 "application/octet-stream");
}

Response WebService::handleUpload(const Request& request) {
    Form form;
    StandardFields fields;
    if (auto refused = readForm(request, form, fields)) return *refused;
    for (const auto& [name, part] : form) {
        if (name != "HSTfile" && !StandardFields::isStandard(name))
            return HttpServer::refusal(400, "Unexpected form field \"" + name + "\".");
    }
    if (form.count("HSTfile") != 1) return HttpServer::refusal(400, "The form must hold exactly one \"HSTfile\" file.");
    const std::string& record = form.find("HSTfile")->second.content;
    ScoreUpload upload;
    std::string error;
    if (!upload.parse({reinterpret_cast<const std::uint8_t*>(record.data()), record.size()}, error))
        return HttpServer::refusal(400, error);
    // Only an installation not kept before counts against its address, and only when its
    // upload is kept. Two first uploads of one installation at once may both count.
    std::optional<HourlyLimit::Taken> taken;
    if (!scores_.hasInstallation(upload.installationId)) {
        const HourlyLimit::Outcome take = newInstallations_.take(request.remoteAddress);
        if (!take.taken)
            return HttpServer::refusal(
                429, take.refusal == HourlyLimit::Refusal::crowded
                         ? "The service is taking the scores of new installations from too many addresses now; "
                           "please try again later."
                         : "This address has sent the scores of " +
                               std::to_string(std::max(newInstallations_.perHour(), 0)) +
                               " new installations in the last hour; please try again later.");
        taken = take.taken;
    }
    const BusySpellLog::Clock::time_point began = busyUploads_.now();
    const int added = scores_.store(upload, {fields.platform, fields.gameVersion, now()}, error);
    const BusySpellLog::Clock::time_point ended = busyUploads_.now();
    if (taken && added <= 0) newInstallations_.giveBack(request.remoteAddress, *taken);
    if (added == ScoreStore::kStopping) {
        busyUploads_.turnedAwayForTheStop();
        return HttpServer::busy("The service is stopping; please try again shortly.");
    }
    if (added == ScoreStore::kBusy) {
        busyUploads_.turnedAway(error, began, ended);
        return HttpServer::busy("The scores cannot be stored now; please try again shortly.");
    }
    if (added < 0) {
        logFault("score upload", error);
        return HttpServer::refusal(500, "The scores could not be stored; please try again later.");
    }
    const std::size_t count = upload.entries.size();
    busyUploads_.committed(ended);
    return reply("Received " + std::to_string(count) + (count == 1 ? " score (" : " scores (") + std::to_string(added) +
                     " new).\nThank you!\n",
                 kText);
}

// The body was written to a file as it arrived; it is read back in pieces, each crash
// file going on into the report's own folder.
Response WebService::handleCrashReport(Request& request) {
    CrashReportStore::Claim& claim = static_cast<ReportClaim&>(*request.claim).inStore();
    std::string error;
    // Short of file descriptors, the service is short of room: its disk has not failed.
    const auto fault = [&error, &claim](bool outOfFiles) {
        claim.refusedByService();
        if (outOfFiles)
            return HttpServer::busy("The service has no room for this report now; please try again shortly.");
        logFault("crash report", error);
        return HttpServer::refusal(500, "The report could not be stored; please try again later.");
    };
    std::unique_ptr<CrashReportStore::Draft> draft = crashes_.draft(error);
    if (!draft) return fault(false);
    CrashReportForm form(*draft);
    const std::string* type = request.header("content-type");
    MultipartParser parser(MultipartParser::boundaryOf(type ? *type : ""), form);
    const int fd = ::open(request.bodyFile.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        const int cause = errno;
        error = "cannot read the body back from " + request.bodyFile + ": " + std::strerror(cause);
        return fault(cause == EMFILE || cause == ENFILE);
    }
    std::vector<char> buffer(64 * 1024);
    bool parsed = true;
    ssize_t n = 0;
    while (parsed && (n = ::read(fd, buffer.data(), buffer.size())) > 0)
        parsed = parser.feed({buffer.data(), static_cast<std::size_t>(n)}, error);
    const int readError = n < 0 ? errno : 0;
    ::close(fd);
    if (n < 0) {
        error = "cannot read the body back from " + request.bodyFile + ": " + std::strerror(readError);
        return fault(false);
    }
    // A refusal names what the client sent; a failure of the disk is the service's.
    if (!parsed || !parser.finish(error))
        return draft->diskFailed() ? fault(draft->outOfFiles()) : HttpServer::refusal(400, error);
    StandardFields fields;
    if (!fields.read(form.plain, error)) return HttpServer::refusal(400, error);
    if (draft->fileCount() == 0) return HttpServer::refusal(400, "The report holds no crash files.");
    const std::vector<std::pair<std::string, std::string>> recorded = {{"platform", fields.platform},
                                                                       {"gameName", fields.gameName},
                                                                       {"gameVersion", fields.gameVersion},
                                                                       {"gamePatch", fields.gamePatch},
                                                                       {"remoteAddress", request.remoteAddress}};
    if (crashes_.keep(*draft, recorded, now(), error).empty()) return fault(draft->outOfFiles());
    return reply("Error report received: " + std::to_string(draft->fileCount()) + " files, " +
                     std::to_string(draft->bytes()) + " bytes.\nThank you for your help!\n",
                 kText);
}

Response WebService::handleScoreTable(const Request& request) {
    std::optional<int> table;
    if (const std::optional<std::string> value = request.param("table")) {
        if (value->size() != 1 || (*value)[0] < '0' || (*value)[0] >= '0' + ScoreTablePage::kTableCount)
            return HttpServer::refusal(404, "There is no such high-score table.");
        table = (*value)[0] - '0';
    }
    return reply(*scoreTables_.page(table), kHtml);
}
