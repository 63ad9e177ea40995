#pragma once
// The registry of named resources (textures, skins, sounds, fonts), shared by name.
class ClassInfo;

class ResourceManager {
public:
    ResourceManager();
    virtual ClassInfo* getClass() const;
    virtual ~ResourceManager() = default;
    static ClassInfo classInfo;
};
