#pragma once
// Test support for the game: the menus' headless engine (no display) with the textures a
// game scene needs (sky, sea and snowflake as plain 16 x 16 quads), the application
// object with an empty screen stack, a time keeper on a clock the test moves, and a
// game controller that is the current game. Frames are stepped by hand.
#include <memory>
#include <vector>

#include "engine/Random.h"
#include "engine/TimeKeeper.h"
#include "game/GameController.h"
#include "game/PlayerData.h"
#include "render/Quad.h"
#include "render/Texture.h"
#include "support/FakeClock.h"
#include "support/MenuTestEngine.h"
#include "ui/ContextBlender.h"
#include "ui/ProfileData.h"
#include "ui/RecordBytes.h"
#include "ui/UserFile.h"

// Player data whose side has a stand-in vehicle: a position and damage factors.
class StandInVehiclePlayer : public PlayerData {
public:
    explicit StandInVehiclePlayer(std::int32_t side_) : PlayerData(side_) {}
    bool hasVehicle() const override { return true; }
    float vehicleAttackFactor() const override { return attack; }
    float vehicleDefenceFactor() const override { return defence; }
    bool getVehiclePosition(Vector3& out) const override { return out = at, true; }
    float attack = 1.0f;
    float defence = 1.0f;
    Vector3 at{0.0f, 0.0f, 0.0f};
};

class GameTestEngine : public MenuTestEngine {
public:
    explicit GameTestEngine(std::uint32_t seed = 1234) {
        // "palm": player data plants palms.
        for (const char16_t* name : {u"sky", u"sea", u"snowflake", u"palm"}) addTexture(name, 2);
        makeGlobal();
        delete qor->pTimeKeeper;  // the input engine's, on the real clock
        qor->pTimeKeeper = new TimeKeeper(clock);
        Random::seed(seed);
    }
    ~GameTestEngine() {
        endGame();
        delete qor->pTimeKeeper;
        qor->pTimeKeeper = nullptr;
        deleteGlobal();
        for (Texture* t : textures) t->destroy();
    }

    // A texture of `skins` quad skins, registered under `name`.
    void addTexture(const std::u16string& name, int skins) {
        auto* texture = new Texture(16, 16, 0);
        for (int i = 0; i < skins; ++i) {
            auto* quad = new Quad();
            quad->pTexture = texture;
            quad->setSize(16.0f, 16.0f);
            texture->skins.push_back(quad);
        }
        textures.push_back(texture);
        qor->pResourceManager->addResource(texture, name);
    }

    GameGlobal& app() { return *static_cast<GameGlobal*>(global); }

    // A new controller of type T as the current game (the previous one deleted).
    template <class T = GameController>
    T& startGame() {
        endGame();
        auto* game = new T();
        app().pCurrentGame = game;
        return *game;
    }
    void endGame() {
        if (!global || !app().pCurrentGame) return;
        app().pCurrentGame->destroy();
        app().pCurrentGame = nullptr;
    }

    // Gives `side` of the current game a stand-in vehicle (replacing its player data).
    StandInVehiclePlayer& giveVehicle(int side) {
        GameController& game = *app().pCurrentGame;
        auto* player = new StandInVehiclePlayer(side);
        game.playerData[side]->destroy();
        game.playerData[side] = player;
        game.pScene->addChild(player);
        return *player;
    }

    // The current profile as its file holds it once the saves under way are written; a
    // default profile when the file cannot be read.
    ProfileData profileOnDisk() {
        ProfileManager& profiles = global->profiles;
        profiles.finishSaving();
        RecordBytes record(ProfileManager::kSize);
        ProfileData profile;
        if (UserFile::load(record.data(), ProfileManager::kSize, getProfileFileName()))
            profile.read(record, ProfileManager::kProfilesOffset +
                                     ProfileData::kSize * static_cast<std::size_t>(profiles.current));
        return profile;
    }

    // One frame of `seconds` of the current game, as the screen stack ticks it.
    void stepGame(double seconds = 0.0625) {
        frame(seconds);
        clock.advance(seconds);
        app().pCurrentGame->tick(0.0, 0.0);
    }

    FakeClock clock;
    std::vector<Texture*> textures;
};
