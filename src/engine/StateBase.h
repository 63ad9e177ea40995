#pragma once
// The small state machine of every engine object: a current state, the time spent in
// it, and an optional delayed change.
#include <cstdint>

class PropertyContainer;

class StateBase {
public:
    StateBase() = default;
    virtual ~StateBase() = default;

    // Counts time in state and applies a pending change once its delay has run out.
    // `time` is not used.
    virtual void tickState(double time, double dt);
    virtual void onStateChanged() {}
    // Appends views of the four state fields: "state", "timeInState" (half float),
    // "stateLeft" and "stateGoto" (neither serialised).
    virtual void describeProperties(PropertyContainer* container);

    // Asks for state s after `delay` seconds (at once when delay <= 0). Asking again for
    // the state last asked for, pending or applied, is ignored.
    void setState(std::int32_t s, double delay = 0.0);

    std::int32_t state = 0;      // the current state
    double timeInState = 0.0;    // seconds since the current state was entered
    double stateLeft = 0.0;      // seconds before stateGoto applies; pending while > 0
    std::int32_t stateGoto = 0;  // the state last asked for
};
