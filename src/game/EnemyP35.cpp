#include "game/EnemyP35.h"

#include "engine/ClassInfo.h"
#include "game/BiplaneModel.h"

QOR_DEFINE_CLASS(EnemyP35, EnemyBiplane, nullptr)

EnemyP35::EnemyP35() {
    scoreValue = kScoreValue;
    health = maxHealth = kHealth;
    model->setTextures(u"p35", u"p35-markings");
}

ClassInfo* EnemyP35::getClass() const { return &classInfo; }
