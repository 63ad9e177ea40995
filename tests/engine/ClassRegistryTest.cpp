#include <gtest/gtest.h>

#include <vector>

#include "engine/BasicLink.h"
#include "engine/ClassInfo.h"
#include "engine/ClassRegistry.h"
#include "engine/MemoryIniFile.h"
#include "engine/Qor.h"
#include "engine/QorBase.h"
#include "engine/ResourceManager.h"
#include "engine/TimeKeeper.h"
#include "language/Language.h"
#include "render/Context.h"
#include "render/Quad.h"
#include "render/Texture.h"

TEST(ClassInfo, IdsAreTheNameHashOrTheNumberOfAGeneratedName) {
    EXPECT_EQ(classIdForName(u"Qor"), 91986u);
    EXPECT_EQ(classIdForName(u"A"), 65u);
    EXPECT_EQ(classIdForName(u""), 0u);
    EXPECT_EQ(classIdForName(u"_02468b57"), 0x02468b57u);
    EXPECT_EQ(classIdForName(u"_4229753a"), 0x4229753au);
    // Not generated: upper-case hex digits or the wrong length are hashed like any name.
    EXPECT_NE(classIdForName(u"_02468B57"), 0x02468b57u);
    EXPECT_NE(classIdForName(u"_2468b57"), 0x2468b57u);
    EXPECT_EQ(Qor::classInfo.id, 91986u);
}

TEST(ClassInfo, ARootHasNoParentAndASubclassKeepsItsParentRecord) {
    EXPECT_EQ(BasicLink::classInfo.parent, nullptr);
    EXPECT_EQ(QorBase::classInfo.parent, &BasicLink::classInfo);
    EXPECT_EQ(Context::classInfo.parent, &QorBase::classInfo);
    EXPECT_TRUE(Context::classInfo.isA(&BasicLink::classInfo));
    EXPECT_FALSE(QorBase::classInfo.isA(&Context::classInfo));
}

TEST(ClassRegistry, TheIndexIsAlphabeticalByCodeUnitAndBuiltOnce) {
    ClassRegistry& registry = ClassRegistry::instance();
    registry.buildIndex();
    ASSERT_EQ(static_cast<int>(registry.sorted.size()), registry.count());
    for (std::size_t i = 0; i < registry.sorted.size(); ++i) {
        EXPECT_EQ(registry.sorted[i]->index, static_cast<int>(i));
        if (i > 0) {
            EXPECT_LT(registry.sorted[i - 1]->name, registry.sorted[i]->name);
        }
    }
    EXPECT_FALSE(registry.bBadClasses);
    EXPECT_LT(BasicLink::classInfo.index, Qor::classInfo.index);
    const std::vector<ClassInfo*> before = registry.sorted;
    registry.buildIndex();
    EXPECT_EQ(registry.sorted, before);
}

TEST(ClassRegistry, LookupsByIdNameAndIndex) {
    ClassRegistry& registry = ClassRegistry::instance();
    registry.buildIndex();
    EXPECT_EQ(registry.findById(91986u), &Qor::classInfo);
    EXPECT_EQ(registry.findByName(u"QorBase"), &QorBase::classInfo);
    EXPECT_EQ(registry.findByIndex(QorBase::classInfo.index), &QorBase::classInfo);
    EXPECT_EQ(registry.findByIndex(-1), nullptr);
    EXPECT_EQ(registry.findByIndex(registry.count()), nullptr);
    EXPECT_EQ(registry.findById(0xFFFFFFFFu), nullptr);
}

TEST(ClassRegistry, EveryClassWithAFactoryCanBeMadeAndDestroyed) {
    // Objects need an engine to live in; screens fetch their texts as they are built and
    // look up their frames in the resource registry (empty here: menus then draw none).
    Qor engine{Qor::Headless{}};
    engine.pLanguage = new Language(u"");
    engine.language().setLanguage(0);
    engine.pResourceManager = new ResourceManager();
    // Screens that link to the web service read its host from the settings.
    engine.pSettings = new MemoryIniFile(std::vector<std::uint8_t>{});
    // The screens of the web service time their message lines.
    engine.pTimeKeeper = new TimeKeeper();
    // Game controllers build their scene's backdrop, which needs its pictures.
    std::vector<Texture*> backdrop;
    for (const char16_t* name : {u"sky", u"sea", u"snowflake"}) {
        backdrop.push_back(new Texture(16, 16, 0));
        for (int i = 0; i < 2; ++i) {
            auto* quad = new Quad();
            quad->pTexture = backdrop.back();
            backdrop.back()->skins.push_back(quad);
        }
        engine.pResourceManager->addResource(backdrop.back(), name);
    }
    for (ClassInfo* r = ClassRegistry::instance().head; r; r = r->next) {
        if (!r->factory || !r->isA(&BasicLink::classInfo)) continue;
        auto* object = static_cast<BasicLink*>(r->factory());
        ASSERT_NE(object, nullptr) << "factory of " << std::string(r->name.begin(), r->name.end());
        EXPECT_EQ(object->getClass(), r);
        object->destroy();
    }
    for (Texture* t : backdrop) t->destroy();
}

TEST(ClassRegistry, ADuplicateNameMarksTheRegistryBad) {
    // A second record under an existing name, as a mistaken registration would make.
    EXPECT_EXIT(
        {
            static ClassInfo duplicate(classIdForName(u"QorBase"), u"QorBase", &BasicLink::classInfo, nullptr);
            ClassRegistry::instance().sorted.clear();
            ClassRegistry::instance().buildIndex();
            std::exit(ClassRegistry::instance().bBadClasses ? 3 : 0);
        },
        ::testing::ExitedWithCode(3), "");
}
