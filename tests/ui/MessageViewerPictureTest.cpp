// The progress lines of the screens that talk to the web service, drawn by the running
// program with its own art and fonts once a request has ended with the longest result
// of each outcome (every outcome of the network wizard's connection test, and a reply of
// many lines on the score upload and the crash report): the lines keep clear of the
// title and of every item (the check box with its label, and the buttons); in English
// and German, at every shape of display. One test a shape.
//
// Each request goes to a server on this machine, or to a port where nothing listens, and
// the screen takes its outcome in a tick of its own, as in its frames. What the lines
// draw is found as the pixels that change when they alone are hidden, what the rest
// draws as those that change when all but the lines is hidden.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "engine/ChildIterator.h"
#include "engine/MemoryIniFile.h"
#include "language/Language.h"
#include "net/HttpRequest.h"
#include "render/Renderable.h"
#include "support/ChangedBox.h"
#include "support/ConnectionTestFrame.h"
#include "support/TinyHttpServer.h"
#include "ui/ContextCrashReport.h"
#include "ui/ContextNetworkWizard1.h"
#include "ui/ContextUploadScores.h"
#include "ui/DisplayShapeFixture.h"
#include "ui/MenuButton.h"
#include "ui/MenuItem.h"
#include "ui/MessageViewer.h"

namespace {
// A sentence that wraps: a reply may carry one of any length.
const std::string kLongSentence =
    "The service answers on another address now, and this one stays open only to say so; "
    "please check the network settings of the game and try again.";
// Lines enough to fill the list, each as wide as a line gets.
const std::string kManyLines = kLongSentence + "\r\n" + kLongSentence + "\r\n" + kLongSentence + "\r\n";

// A whole reply of `status` with `body` as plain text, as the web service words a refusal.
std::string plainText(int status, const std::string& body) {
    return "HTTP/1.1 " + std::to_string(status) +
           " X\r\nContent-Type: text/plain; charset=utf-8\r\nContent-Length: " + std::to_string(body.size()) +
           "\r\nConnection: close\r\n\r\n" + body;
}

// A TCP port of this machine's that refuses every connection: bound, never listening.
class ClosedPort {
public:
    ClosedPort() : fd(::socket(AF_INET, SOCK_STREAM, 0)) {
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t n = sizeof(a);
        if (::bind(fd, reinterpret_cast<sockaddr*>(&a), n) == 0 &&
            ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &n) == 0)
            port = ntohs(a.sin_port);
    }
    ~ClosedPort() { ::close(fd); }
    ClosedPort(const ClosedPort&) = delete;
    ClosedPort& operator=(const ClosedPort&) = delete;
    std::u16string host() const {
        const std::string h = "127.0.0.1:" + std::to_string(port);
        return {h.begin(), h.end()};
    }

private:
    int fd;
    int port = 0;  // 0 when no port could be had: nothing listens there either
};

// `screen` once Next has been pressed on it and the outcome of its request taken in: the
// host must be set before.
template <class Screen>
ContextMenu* pressNext(Screen* screen) {
    screen->pNext->bTriggered = 1;
    screen->tickContents(0.0, 0.0);
    for (int i = 0; i < 2000 && screen->pRequest && screen->pRequest->getState() == HttpRequest::Running; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    screen->tickContents(0.0, 0.0);  // takes the outcome
    return screen;
}

struct Outcome {
    const char* name;
    std::string reply;  // of the host, whole; empty: nothing listens there
    ContextMenu* (*open)();
    MessageViewer* (*viewerOf)(ContextMenu*);
};

ContextMenu* connectionTest() {
    auto* wizard = new ContextNetworkWizard1();
    wizard->bRunOnDesktop = 0;  // in full screen the test runs there, on the shape under test
    return pressNext(wizard);
}
MessageViewer* wizardViewer(ContextMenu* screen) { return static_cast<ContextNetworkWizard1*>(screen)->pViewer; }

const Outcome kOutcomes[] = {
    {"no service", "", &connectionTest, &wizardViewer},
    {"refused", plainText(503, kLongSentence + "\r\n" + kLongSentence), &connectionTest, &wizardViewer},
    {"answered",
     TinyHttpServer::response(200, connectionTestFrame("masterServer=10.0.0.5:27015\nmessage=" + kLongSentence + "\n")),
     &connectionTest, &wizardViewer},
    {"answered in plain text", plainText(200, kManyLines), &connectionTest, &wizardViewer},
    {"score upload answered", plainText(200, kManyLines),
     []() -> ContextMenu* { return pressNext(new ContextUploadScores()); },
     [](ContextMenu* screen) { return static_cast<ContextUploadScores*>(screen)->pViewer; }},
    {"crash report answered", plainText(200, kManyLines),
     []() -> ContextMenu* {
         global->configuration.bNetworkWizardDone = 1;  // else the report waits for the wizard
         return pressNext(new ContextCrashReport());
     },
     [](ContextMenu* screen) { return static_cast<ContextCrashReport*>(screen)->pViewer; }},
};

class MessageViewerPicture : public DisplayShapeFixture {
protected:
    // The screen of `outcome`, its request answered by a host that gives that outcome.
    ContextMenu* open(const Outcome& outcome) {
        const ClosedPort closed;
        std::optional<TinyHttpServer> server;
        if (!outcome.reply.empty()) server.emplace(outcome.reply);
        qor->settings().setString(u"QorNetwork", u"webServiceHost", server ? server->host() : closed.host());
        ContextMenu* screen = outcome.open();
        // A tick hovers the item under the pointer, wherever that is: no help line here.
        for (ChildIterator it(screen); !it.done; it.next())
            if (auto* item = dynamic_cast<MenuItem*>(static_cast<QorBase*>(it.current))) item->bHovered = 0;
        return screen;
    }
    // The rest of `screen` (all its children but `viewer`) hidden or shown.
    static void hideAllBut(ContextMenu& screen, const MessageViewer& viewer, bool hide) {
        for (ChildIterator it(&screen); !it.done; it.next())
            if (auto* part = dynamic_cast<Renderable*>(static_cast<QorBase*>(it.current)); part && part != &viewer)
                part->bHidden = hide ? 1 : 0;
    }

    // No pixel of the rest of `screen` lies in the box of `viewer`'s lines or a pixel
    // around it; the list is full, as every result here is as long as the list lets one be.
    void expectLinesClear(ContextMenu& screen, MessageViewer& viewer, const std::string& where) {
        SCOPED_TRACE(where);
        EXPECT_EQ(viewer.entries.size(), viewer.maxMessages);
        drawn(screen);  // every text of the screen into the fonts' caches, whence a scaled picture differs a little
        const std::vector<std::uint32_t> bare = drawn(screen);
        viewer.bHidden = 1;
        const std::vector<std::uint32_t> noLines = drawn(screen);
        viewer.bHidden = 0;
        hideAllBut(screen, viewer, true);
        const std::vector<std::uint32_t> linesOnly = drawn(screen);
        hideAllBut(screen, viewer, false);
        const ChangedBox lines = changedBox(bare, noLines, width, height, kAlike);
        ASSERT_FALSE(lines.empty()) << "no lines drawn";
        ChangedBox rest{width, height, -1, -1};
        int touched = 0;
        for (int y = std::max(0, lines.top - 1); y <= std::min(height - 1, lines.bottom + 1); ++y)
            for (int x = std::max(0, lines.left - 1); x <= std::min(width - 1, lines.right + 1); ++x)
                if (channelDifference(bare[at(x, y)], linesOnly[at(x, y)]) > kAlike) {
                    ++touched;
                    rest.top = std::min(rest.top, y), rest.bottom = std::max(rest.bottom, y);
                }
        EXPECT_EQ(touched, 0) << "lines in rows " << lines.top << ".." << lines.bottom << ", columns " << lines.left
                              << ".." << lines.right << "; the rest of the screen draws in rows " << rest.top << ".."
                              << rest.bottom << " of them";
    }
};
}  // namespace

TEST_P(MessageViewerPicture, TheLongestResultsKeepClearOfTheTitleAndTheItemsInEitherLanguage) {
    ASSERT_NO_FATAL_FAILURE(show(GetParam()));
    for (int language : {0, 1}) {
        qor->language().setLanguage(language);
        for (const Outcome& outcome : kOutcomes) {
            ContextMenu* screen = open(outcome);
            expectLinesClear(*screen, *outcome.viewerOf(screen),
                             std::string(language ? "German, " : "English, ") + outcome.name);
            screen->destroy();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Shapes, MessageViewerPicture, ::testing::ValuesIn(kDisplayShapes), displayShapeName);
