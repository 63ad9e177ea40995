#pragma once
// A bare engine object for the fuzz targets: engine objects can exist, files go
// through a file manager, and names through a resource registry. Built once.
#include "engine/FileManager.h"
#include "engine/Qor.h"
#include "engine/ResourceManager.h"

inline Qor& fuzzEngine() {
    static Qor* engine = [] {
        auto* e = new Qor(Qor::Headless{});
        e->pFileManager = new FileManager();
        e->pResourceManager = new ResourceManager();
        return e;
    }();
    return *engine;
}
