#include "WebService.h"

#include <arpa/inet.h>
#include <sys/socket.h>

#include <chrono>
#include <cstdint>
#include <cstdio>

#include "CrashReportStore.h"
#include "HelpPage.h"
#include "NetTestReply.h"
#include "ScoreStore.h"
#include "ScoreTablePage.h"
#include "ScoreUpload.h"
#include "StandardFields.h"

namespace {

constexpr const char* kText = "text/plain; charset=utf-8";
constexpr const char* kHtml = "text/html; charset=utf-8";

void refuse(httplib::Response& response, int status, const std::string& sentence) {
    response.status = status;
    response.set_content(sentence + "\n", kText);
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

// The form of a POST, with the standard fields read; false when refused.
bool readForm(const httplib::Request& request, httplib::Response& response, StandardFields& fields) {
    if (!request.is_multipart_form_data()) {
        refuse(response, 400, "Expected a multipart/form-data POST.");
        return false;
    }
    std::string error;
    if (!fields.read(request.files, error)) {
        refuse(response, 400, error);
        return false;
    }
    return true;
}

// The address the client reached us on, "a.b.c.d:port" for the game's network port;
// empty when it was no IPv4 address (one mapped into IPv6 counts as IPv4).
std::string masterServerFor(const httplib::Request& request) {
    std::string local = request.local_addr;
    if (local.starts_with("::ffff:")) local.erase(0, 7);
    in_addr address{};
    if (inet_pton(AF_INET, local.c_str(), &address) != 1) return {};
    return local + ":" + std::to_string(WebService::kGamePort);
}

void postOnly(httplib::Server& server, const char* path) {
    server.Get(path, [](const httplib::Request&, httplib::Response& response) {
        response.set_header("Allow", "POST");
        refuse(response, 405, "This address takes only the game's POST requests.");
    });
}

}  // namespace

WebService::WebService(ScoreStore& scores, CrashReportStore& crashes) : scores_(scores), crashes_(crashes) {
    server_.new_task_queue = [] { return new httplib::ThreadPool(kThreadCount); };
    server_.set_keep_alive_max_count(1000);
    // Replies are small and written in pieces: without this, delayed acknowledgements
    // hold each one back for tens of milliseconds.
    server_.set_tcp_nodelay(true);
    // The library's default would share the port with any other process that asks
    // (SO_REUSEPORT), so a second service on the same port would silently take half of
    // the requests into its own database. Only a quick restart may rebind.
    server_.set_socket_options([this](int socket) {
        int yes = 1;
        ::setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        listenSocket_ = socket;
    });
    server_.set_payload_max_length(kCrashReportBodyLimit);
    // Clients that ask first (curl does for large bodies) learn of a refusal before sending.
    server_.set_expect_100_continue_handler([this](const httplib::Request& request, httplib::Response& response) {
        return checkBodySize(request, response) == httplib::Server::HandlerResponse::Handled ? response.status : 100;
    });
    server_.set_pre_routing_handler([this](const httplib::Request& request, httplib::Response& response) {
        return checkBodySize(request, response);
    });
    routes();
}

void WebService::routes() {
    const auto route = [this](void (WebService::*handler)(const httplib::Request&, httplib::Response&)) {
        return [this, handler](const httplib::Request& request, httplib::Response& response) {
            (this->*handler)(request, response);
        };
    };
    server_.Post("/tv2/nettest.php", route(&WebService::handleNetTest));
    server_.Post("/tv2/highscoreupload.php", route(&WebService::handleUpload));
    server_.Post("/tv2/crashreport.php", route(&WebService::handleCrashReport));
    for (const char* path : {"/tv2/nettest.php", "/tv2/highscoreupload.php", "/tv2/crashreport.php"})
        postOnly(server_, path);
    server_.Get("/tv2/highscoretable.php", route(&WebService::handleScoreTable));
    server_.Get("/tv2/onlinehelp.php", [](const httplib::Request&, httplib::Response& response) {
        response.set_content(HelpPage::render(), kHtml);
    });
    server_.set_error_handler([](const httplib::Request&, httplib::Response& response) {
        if (!response.body.empty()) return;
        if (response.status == 404)
            refuse(response, 404, "There is no such page.");
        else if (response.status == 413)
            refuse(response, 413, "The request is too large.");
        else
            refuse(response, response.status, "The request could not be handled.");
    });
}

// Refuses an oversized body before it is read: the route's limit is checked against the
// announced length, and a body of unknown length is not taken at all.
httplib::Server::HandlerResponse WebService::checkBodySize(const httplib::Request& request,
                                                           httplib::Response& response) {
    using Handled = httplib::Server::HandlerResponse;
    const std::size_t limit = bodyLimit(request.path);
    if (request.has_header("Transfer-Encoding")) {
        refuse(response, 411, "The request must give its Content-Length.");
    } else if (request.get_header_value<std::uint64_t>("Content-Length") > limit) {
        refuse(response, 413,
               "The request body of " + request.get_header_value("Content-Length") + " bytes exceeds the limit of " +
                   std::to_string(limit) + " bytes for this address.");
    } else {
        return Handled::Unhandled;
    }
    // The unread body would otherwise be taken for the next request.
    response.set_header("Connection", "close");
    return Handled::Handled;
}

void WebService::handleNetTest(const httplib::Request& request, httplib::Response& response) {
    StandardFields fields;
    if (!readForm(request, response, fields)) return;
    response.set_content(NetTestReply::build(masterServerFor(request), "Welcome to the Torvane 2 web service!"),
                         "application/octet-stream");
}

void WebService::handleUpload(const httplib::Request& request, httplib::Response& response) {
    StandardFields fields;
    if (!readForm(request, response, fields)) return;
    for (const auto& [name, part] : request.files) {
        if (name != "HSTfile" && !StandardFields::isStandard(name))
            return refuse(response, 400, "Unexpected form field \"" + name + "\".");
    }
    if (request.files.count("HSTfile") != 1)
        return refuse(response, 400, "The form must hold exactly one \"HSTfile\" file.");
    const std::string& record = request.files.find("HSTfile")->second.content;
    ScoreUpload upload;
    std::string error;
    if (!upload.parse({reinterpret_cast<const std::uint8_t*>(record.data()), record.size()}, error))
        return refuse(response, 400, error);
    const int added = scores_.store(upload, {fields.platform, fields.gameVersion, now()}, error);
    if (added < 0) {
        logFault("score upload", error);
        return refuse(response, 500, "The scores could not be stored; please try again later.");
    }
    const std::size_t count = upload.entries.size();
    response.set_content("Received " + std::to_string(count) + (count == 1 ? " score (" : " scores (") +
                             std::to_string(added) + " new).\nThank you!\n",
                         kText);
}

void WebService::handleCrashReport(const httplib::Request& request, httplib::Response& response) {
    StandardFields fields;
    if (!readForm(request, response, fields)) return;
    std::vector<CrashReportStore::Part> parts;
    std::size_t bytes = 0;
    for (const auto& [name, part] : request.files) {
        if (StandardFields::isStandard(name)) continue;
        if (CrashReportStore::storedName(name).empty() || part.filename.empty())
            return refuse(response, 400, "Unexpected form field \"" + name + "\".");
        if (request.files.count(name) > 1)
            return refuse(response, 400, "The form has \"" + name + "\" more than once.");
        parts.push_back({name, part.filename, part.content});
        bytes += part.content.size();
    }
    std::string error;
    const std::vector<std::pair<std::string, std::string>> recorded = {{"platform", fields.platform},
                                                                       {"gameName", fields.gameName},
                                                                       {"gameVersion", fields.gameVersion},
                                                                       {"gamePatch", fields.gamePatch},
                                                                       {"remoteAddress", request.remote_addr}};
    if (crashes_.store(recorded, parts, now(), error).empty()) {
        logFault("crash report", error);
        return refuse(response, 500, "The report could not be stored; please try again later.");
    }
    response.set_content("Error report received: " + std::to_string(parts.size()) + " files, " + std::to_string(bytes) +
                             " bytes.\nThank you for your help!\n",
                         kText);
}

void WebService::handleScoreTable(const httplib::Request& request, httplib::Response& response) {
    std::optional<int> table;
    if (request.has_param("table")) {
        const std::string value = request.get_param_value("table");
        if (value.size() != 1 || value[0] < '0' || value[0] >= '0' + ScoreTablePage::kTableCount)
            return refuse(response, 404, "There is no such high-score table.");
        table = value[0] - '0';
    }
    response.set_content(ScoreTablePage::render(scores_, table), kHtml);
}

int WebService::bind(const std::string& host, int port) {
    const int bound = port == 0 ? server_.bind_to_any_port(host) : server_.bind_to_port(host, port) ? port : -1;
    // The library listens with a backlog of 5, which drops connections when many
    // clients arrive at once; listening again only deepens the queue.
    if (bound > 0) ::listen(listenSocket_, SOMAXCONN);
    return bound;
}

bool WebService::run() { return server_.listen_after_bind(); }

void WebService::stop() { server_.stop(); }
