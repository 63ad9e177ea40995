#pragma once
// Tells the player of trouble with the saved data: the reports of UserFileGuard that
// have not been told yet (a file that could not be read or kept, a folder where saves
// fail), as one popup in the current language naming each file or folder and the
// reason. Each report is told once per run. Main thread only.
#include <string>
#include <vector>

#include "engine/UserFileGuard.h"

class ContextPopup;
class Language;

class UserDataNotice {
public:
    // Pushes a popup with the untold reports above the top screen; nothing when there
    // are none.
    static void showUntold();
    // The popup's text for `problems` in the language's current language: one paragraph
    // per report.
    static std::u16string describe(const std::vector<UserFileGuard::Problem>& problems, const Language& language);
    // The reason for `error` in the current language (the system's text when there is
    // no own text for it).
    static std::u16string describeReason(const UserFileGuard::Problem& problem, const Language& language);
};
