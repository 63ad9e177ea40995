#include "engine/StateBase.h"

#include "engine/Property.h"
#include "engine/PropertyContainer.h"
#include "engine/PropertyDouble.h"
#include "engine/PropertyInt.h"

void StateBase::setState(std::int32_t s, double delay) {
    if (stateGoto == s) return;
    stateGoto = s;
    stateLeft = delay;
    if (delay <= 0.0) {
        timeInState = 0.0;
        state = s;
        onStateChanged();
    }
}

void StateBase::tickState(double, double dt) {
    timeInState += dt;
    if (stateLeft > 0.0) {
        stateLeft -= dt;
        // The overshoot is not carried into timeInState; stateLeft keeps it (negative).
        if (stateLeft <= 0.0) {
            timeInState = 0.0;
            state = stateGoto;
            onStateChanged();
        }
    }
}

void StateBase::describeProperties(PropertyContainer* container) {
    container->addChild(new PropertyInt(u"state", 0, &state));
    container->addChild(new PropertyDouble(u"timeInState", Property::kHalfFloat, &timeInState));
    container->addChild(new PropertyDouble(u"stateLeft", Property::kNotSerialisedA, &stateLeft));
    container->addChild(new PropertyInt(u"stateGoto", Property::kNotSerialisedA, &stateGoto));
}
