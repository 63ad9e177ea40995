#include "ui/UserDataNotice.h"

#include <cerrno>

#include "engine/DiskFile.h"
#include "engine/Format.h"
#include "engine/Qor.h"
#include "language/ExtraTexts.h"
#include "language/Language.h"
#include "ui/ContextPopup.h"
#include "ui/ScreenStack.h"

namespace {
using Kind = UserFileGuard::Problem::Kind;

// A path as popup text: "|" would break its line and control characters are no text.
std::u16string shownPath(std::u16string path) {
    for (char16_t& c : path) {
        if (c == u'|') c = u'\u00A6';
        if (c < 0x20) c = u'?';
    }
    return path;
}

int reasonId(const UserFileGuard::Problem& problem) {
    switch (problem.error) {
        case EACCES:
        case EPERM:
            return ExtraText::kReasonNoPermission;
        case EROFS:
            return ExtraText::kReasonReadOnly;
        case ENOSPC:
        case EDQUOT:
        case EFBIG:
            return ExtraText::kReasonDiskFull;
        case ENOENT:
            return ExtraText::kReasonNoFolder;
        case ENOTDIR:
            return ExtraText::kReasonNotAFolder;
        case EISDIR:
        case EEXIST:
        case ENOTEMPTY:
            // A backup fails so when a folder has taken the copy's name.
            return problem.kind == Kind::kNoBackup ? ExtraText::kReasonNameTaken : ExtraText::kReasonNotAFile;
        case DiskFile::kNotRegularFile:
            return ExtraText::kReasonNotAFile;
        default:
            return -1;
    }
}
}  // namespace

void UserDataNotice::showUntold() {
    const Language* language = qor ? qor->pLanguage : nullptr;
    if (!language) return;
    const std::vector<UserFileGuard::Problem> problems = UserFileGuard::takeUntoldProblems();
    if (problems.empty()) return;
    auto* popup = new ContextPopup();
    popup->title = language->getExtraString(ExtraText::kUserDataTitle);
    popup->text = describe(problems, *language);
    popup->setup();
    ScreenStack::push(popup);
}

std::u16string UserDataNotice::describe(const std::vector<UserFileGuard::Problem>& problems, const Language& language) {
    std::u16string text;
    for (const UserFileGuard::Problem& problem : problems) {
        const int id = problem.kind == Kind::kUnreadable ? ExtraText::kFileUnreadable
                       : problem.kind == Kind::kNoBackup ? ExtraText::kBackupFailed
                                                         : ExtraText::kFolderNotWritable;
        if (!text.empty()) text += u"||";
        text += formatString(language.getExtraString(id), shownPath(problem.path), describeReason(problem, language));
    }
    return text;
}

std::u16string UserDataNotice::describeReason(const UserFileGuard::Problem& problem, const Language& language) {
    const int id = reasonId(problem);
    return id >= 0 ? std::u16string(language.getExtraString(id)) : DiskFile::describeError(problem.error);
}
