#include "HelpPage.h"

#include "HtmlPage.h"

namespace {
constexpr const char* kBody = R"html(
<p>Torvane 2 is an arcade war game for one or two players on one computer: defend your
island and its trees against waves of aircraft, balloons, bombs and zeppelins, or fight a
friend in a Duel.</p>

<h2>Game modes</h2>
<table>
<tr><td>Invasion</td><td>Defend your island with its cannon against fifty waves of
enemies. Aim with the mouse and click to fire, or use the keys below. Shoot bonus balloons
to collect a bonus; weapon crates drop new weapons. The game ends when your last tree is
lost, and you win after the last wave.</td></tr>
<tr><td>Duel</td><td>Two islands, two sides: attack with your plane, defend with your
cannon, and shoot down the other side. Play against a friend or against the computer.</td></tr>
<tr><td>Tutorial</td><td>A short war of two days that shows the attack, defence and
dogfight rounds of a Duel.</td></tr>
</table>

<h2>Controls</h2>
<p>These are the default keys; change them under Options, Controls.</p>
<table>
<tr><th></th><th>Player 1</th><th>Player 2</th></tr>
<tr><td>Turn left</td><td><kbd>&larr;</kbd></td><td><kbd>A</kbd></td></tr>
<tr><td>Turn right</td><td><kbd>&rarr;</kbd></td><td><kbd>D</kbd></td></tr>
<tr><td>Increase power</td><td><kbd>&uarr;</kbd></td><td><kbd>W</kbd></td></tr>
<tr><td>Decrease power</td><td><kbd>&darr;</kbd></td><td><kbd>X</kbd></td></tr>
<tr><td>Fire</td><td><kbd>Space</kbd></td><td><kbd>Shift</kbd></td></tr>
</table>
<p>The keys are named as on the game's Controls pages: <kbd>Shift</kbd> is the left Shift
key (the right one is <kbd>Right Shift</kbd>).</p>
<p><kbd>Esc</kbd> pauses a game and steps back in the menus. Joysticks and game pads work
too once bound to the controls.</p>

<h2>Ratings and high scores</h2>
<p>At the end of a game your play is rated in percent; a good rating enters the local
high-score table of its game type. Under High Scores, More options, Upload scores sends
your tables to this site, where the <a href="highscoretable.php">world-wide scores</a> list
the best rating of every player's installation. Run the Network Wizard (under Options)
first: it tests the connection and lets you choose your country.</p>

<h2>Trouble?</h2>
<ul>
<li>The game keeps its settings, profiles, high scores and log in
<code>~/.local/share/Quorrel studios/Torvane2Xmas/2.79/</code> (or under
<code>$XDG_DATA_HOME</code> when set).</li>
<li>If the game stops with an error, it offers to send an error report at its next start.
The report holds the game's log, a crash summary and a screenshot, and helps us fix the
fault.</li>
<li>If the connection test fails, check that this computer is on-line and that no firewall
blocks the game.</li>
</ul>
)html";
}  // namespace

std::string HelpPage::render() { return HtmlPage::wrap("Torvane 2 help", kBody); }
