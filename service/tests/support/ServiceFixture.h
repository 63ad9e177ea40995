#pragma once
// A web service on a free port of 127.0.0.1 over a fresh data folder, with a client.
#include <gtest/gtest.h>
#include <httplib.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <thread>

#include "CrashReportStore.h"
#include "SqliteScoreStore.h"
#include "WebService.h"
#include "support/GameForm.h"

class ServiceFixture : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "torvane-service-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        folder = pattern;
        start();
    }
    void TearDown() override {
        stop();
        std::error_code ec;
        std::filesystem::remove_all(folder, ec);
    }

    void start() {
        scores = std::make_unique<SqliteScoreStore>((folder / "scores.sqlite3").string());
        ASSERT_TRUE(scores->ok()) << scores->openError();
        crashes = std::make_unique<CrashReportStore>(folder / "crashreports");
        service = std::make_unique<WebService>(*scores, *crashes);
        port = service->bind("127.0.0.1", 0);
        ASSERT_GT(port, 0);
        thread = std::thread([this] { service->run(); });
        client = std::make_unique<httplib::Client>("127.0.0.1", port);
    }
    void stop() {
        if (service) service->stop();
        if (thread.joinable()) thread.join();
        client.reset();
        service.reset();
        crashes.reset();
        scores.reset();
    }

    httplib::Result post(const std::string& path, const GameForm& form) {
        return client->Post(path.c_str(), form.body(), GameForm::kContentType);
    }

    std::filesystem::path folder;
    std::unique_ptr<SqliteScoreStore> scores;
    std::unique_ptr<CrashReportStore> crashes;
    std::unique_ptr<WebService> service;
    std::unique_ptr<httplib::Client> client;
    std::thread thread;
    int port = 0;
};
