#include <gtest/gtest.h>

#include <cerrno>

#include "language/Language.h"
#include "ui/UserDataNotice.h"

namespace {
using Kind = UserFileGuard::Problem::Kind;

TEST(UserDataNoticeTest, EachReportIsAParagraphInTheCurrentLanguageWithItsReason) {
    Language language(u"");
    language.setLanguage(1);
    const std::vector<UserFileGuard::Problem> problems = {
        {Kind::kNotSaved, u"/home/ann/.local/share/Q", EROFS},
        {Kind::kNoBackup, u"/q/T|2.pro", EISDIR},
        {Kind::kUnreadable, u"/q/T.hst", EIO},
    };
    EXPECT_EQ(UserDataNotice::describe(problems, language),
              u"Das Spiel kann im Ordner|/home/ann/.local/share/Q|nicht speichern (der Datenträger ist "
              u"schreibgeschützt).|Ihre Änderungen werden nicht gespeichert.||"
              u"Die Datei|/q/T\u00A62.pro|ist beschädigt, und eine Kopie davon konnte nicht angelegt werden (der Name "
              u"der Kopie ist schon vergeben).|Sie bleibt, wie sie ist, und Änderungen daran werden bis zum nächsten "
              u"Spielstart nicht gespeichert.||"
              u"Die Datei|/q/T.hst|kann nicht gelesen werden (Input/output error).|Sie bleibt, wie sie ist, und "
              u"Änderungen daran werden bis zum nächsten Spielstart nicht gespeichert.");
}
}  // namespace
