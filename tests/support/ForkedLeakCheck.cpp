// The leak checker's check at exit runs in the test program itself, not in the copies of
// it that death tests fork. A copy ends on purpose through the program's fatal path,
// which leaves what it holds to the exit, and the parent's own check covers the same
// heap; yet each copy's check would scan and name the whole heap of the run so far again,
// which late in a run of the whole program under the sanitizers takes tens of seconds.
#include <unistd.h>

namespace {
const pid_t testProgram = getpid();
}  // namespace

// Asked by the leak checker before its check at exit; non-zero skips it.
// NOLINTNEXTLINE(bugprone-reserved-identifier): the name the leak checker looks for
extern "C" __attribute__((used)) int __lsan_is_turned_off() { return getpid() != testProgram ? 1 : 0; }
