#include "HomePage.h"

#include "HtmlPage.h"
#include "ScoreTablePage.h"

namespace {
constexpr const char* kIntro = R"html(
<p>Torvane 2 is an arcade war game for one or two players on one computer. Defend your
island and its palm trees against fifty waves of biplanes, bombers, zeppelins, balloons and
bombs in the Invasion, or fight a friend or the computer in a Duel, plane against plane and
cannon against cannon.</p>

<h2>World-wide high scores</h2>
<p>Upload your high scores from the game (High Scores, More options, Upload scores) and see
how your ratings compare with everybody else's:</p>
<ul>
)html";

constexpr const char* kOutro = R"html(</ul>

<h2>Help</h2>
<p>The <a href="tv2/onlinehelp.php">help page</a> explains the game modes, the controls and
the ratings, and what to do when something goes wrong.</p>
)html";
}  // namespace

std::string HomePage::render() {
    std::string body = kIntro;
    body += "<li><a href=\"tv2/highscoretable.php\">All tables</a></li>\n";
    for (int t = 0; t < ScoreTablePage::kTableCount; ++t) {
        body += "<li><a href=\"tv2/highscoretable.php?table=" + std::to_string(t) + "\">" +
                ScoreTablePage::tableName(t) + "</a></li>\n";
    }
    return HtmlPage::wrap("Torvane 2", body + kOutro);
}
