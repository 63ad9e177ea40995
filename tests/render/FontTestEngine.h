#pragma once
// Test support: an engine object without a display but with what fonts need: a resource
// registry, in-memory settings and the English language (code page 1252, composite
// letters on). Glyph sheets come from TestGlyphSheets.
#include <memory>

#include "engine/MemoryIniFile.h"
#include "engine/Qor.h"
#include "engine/ResourceManager.h"
#include "language/Language.h"

class FontTestEngine {
public:
    FontTestEngine() : engine(Qor::Headless{}) {
        engine.pSettings = new MemoryIniFile(std::vector<std::uint8_t>{});
        engine.pResourceManager = new ResourceManager();
        engine.pLanguage = new Language(u"11");
        engine.pLanguage->setLanguage(0);
    }
    ~FontTestEngine() {
        delete engine.pLanguage;
        delete engine.pResourceManager;
        delete engine.pSettings;
        engine.pLanguage = nullptr;
        engine.pResourceManager = nullptr;
        engine.pSettings = nullptr;
    }
    Qor engine;
};
