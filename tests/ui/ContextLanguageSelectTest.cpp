#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "engine/Qor.h"
#include "language/Language.h"
#include "support/HeadlessEngine.h"
#include "ui/ContextLanguageSelect.h"

namespace {
// The locale variables of the test process, replaced for one test and put back after it.
class LocaleEnvironment {
public:
    LocaleEnvironment() {
        for (int i = 0; i < 3; ++i) {
            const char* value = std::getenv(kNames[i]);
            saved[i] = value ? std::optional<std::string>(value) : std::nullopt;
            unsetenv(kNames[i]);
        }
    }
    ~LocaleEnvironment() {
        for (int i = 0; i < 3; ++i) {
            if (saved[i])
                setenv(kNames[i], saved[i]->c_str(), 1);
            else
                unsetenv(kNames[i]);
        }
    }
    static constexpr const char* kNames[3] = {"LC_ALL", "LC_MESSAGES", "LANG"};
    std::optional<std::string> saved[3];
};

class ContextLanguageSelectTest : public HeadlessEngine {
protected:
    void SetUp() override {
        HeadlessEngine::SetUp();
        engine->pLanguage = new Language(u"");
    }
    void TearDown() override {
        delete engine->pLanguage;
        engine->pLanguage = nullptr;
        HeadlessEngine::TearDown();
    }
    LocaleEnvironment locale;
};
}  // namespace

TEST_F(ContextLanguageSelectTest, TheSystemLocaleChoosesTheLanguageWithItsExactCode) {
    setenv("LANG", "de_DE.UTF-8", 1);
    EXPECT_EQ(ContextLanguageSelect::autodetectLanguage(), 1);
    setenv("LANG", "fr_FR.UTF-8", 1);
    EXPECT_EQ(ContextLanguageSelect::autodetectLanguage(), 0);
    // LC_MESSAGES before LANG, LC_ALL before both.
    setenv("LC_MESSAGES", "de_AT", 1);
    EXPECT_EQ(ContextLanguageSelect::autodetectLanguage(), 1);
    setenv("LC_ALL", "en_GB.UTF-8", 1);
    EXPECT_EQ(ContextLanguageSelect::autodetectLanguage(), 0);
    unsetenv("LC_ALL");
    unsetenv("LC_MESSAGES");
    unsetenv("LANG");
    EXPECT_EQ(ContextLanguageSelect::autodetectLanguage(), 0);
}

TEST_F(ContextLanguageSelectTest, AnUnavailableLanguageIsNeverDetected) {
    setenv("LANG", "de_DE.UTF-8", 1);
    engine->languageMask = u"10";
    EXPECT_EQ(ContextLanguageSelect::autodetectLanguage(), 0);
    engine->languageMask = u"01";
    EXPECT_EQ(ContextLanguageSelect::autodetectLanguage(), 1);
}

TEST_F(ContextLanguageSelectTest, IsoCodesMapToTheirFlagsExactly) {
    EXPECT_EQ(ContextLanguageSelect::isoCode2skinIndex(u"en"), 0);
    EXPECT_EQ(ContextLanguageSelect::isoCode2skinIndex(u"de"), 2);
    EXPECT_EQ(ContextLanguageSelect::isoCode2skinIndex(u"el"), 7);
    EXPECT_EQ(ContextLanguageSelect::isoCode2skinIndex(u"nl"), 14);
    EXPECT_EXIT(ContextLanguageSelect::isoCode2skinIndex(u"EN"), ::testing::ExitedWithCode(255),
                "Could not find flag for ISO code 'EN'");
    EXPECT_EXIT(ContextLanguageSelect::isoCode2skinIndex(u"en-US"), ::testing::ExitedWithCode(255),
                "Could not find flag for ISO code 'en-US'");
}
