// The program as the game's tests and `make serve` run it.
#include <gtest/gtest.h>
#include <httplib.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "support/GameForm.h"

namespace {

struct Program {
    pid_t pid = -1;
    std::FILE* out = nullptr;

    // Starts the service; returns its first line of output.
    std::string start(const std::vector<std::string>& arguments) {
        int pipeFds[2];
        if (pipe(pipeFds) != 0) return {};
        pid = fork();
        if (pid == 0) {
            dup2(pipeFds[1], STDOUT_FILENO);
            close(pipeFds[0]);
            std::vector<char*> argv{const_cast<char*>(TORVANE_SERVICE_PATH)};
            for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            execv(TORVANE_SERVICE_PATH, argv.data());
            _exit(127);
        }
        close(pipeFds[1]);
        out = fdopen(pipeFds[0], "r");
        char line[256] = "";
        if (!std::fgets(line, sizeof line, out)) return {};
        return line;
    }
    int stop(int signal) {
        kill(pid, signal);
        int status = 0;
        waitpid(pid, &status, 0);
        std::fclose(out);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
};

TEST(ServiceProgramTest, announcesItsPortServesAndStopsCleanlyOnEitherSignal) {
    std::string data = (std::filesystem::temp_directory_path() / "torvane-program-XXXXXX").string();
    ASSERT_NE(mkdtemp(data.data()), nullptr);
    for (int signal : {SIGTERM, SIGINT}) {
        Program program;
        const std::string line = program.start({"--port", "0", "--data", data + "/nested/folder"});
        ASSERT_EQ(line.rfind("listening on 127.0.0.1:", 0), 0u) << line;
        const int port = std::stoi(line.substr(line.rfind(':') + 1));
        httplib::Client client("127.0.0.1", port);
        auto reply = client.Post("/tv2/nettest.php", GameForm().standardFields().body(), GameForm::kContentType);
        ASSERT_TRUE(reply);
        EXPECT_EQ(reply->status, 200);
        EXPECT_EQ(program.stop(signal), 0);
    }
    // A clean stop leaves the database whole, its log merged into it.
    EXPECT_TRUE(std::filesystem::exists(data + "/nested/folder/scores.sqlite3"));
    EXPECT_FALSE(std::filesystem::exists(data + "/nested/folder/scores.sqlite3-wal"));
    std::filesystem::remove_all(data);
}

TEST(ServiceProgramTest, refusesABadCommandLine) {
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"--port", "70000"}, {"--port"}, {"--colour", "red"}}) {
        Program program;
        EXPECT_EQ(program.start(arguments), "");
        int status = 0;
        waitpid(program.pid, &status, 0);
        std::fclose(program.out);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2);
    }
}

}  // namespace
