#pragma once
// A Link that holds an object of one class: reads as a T* that is null once the target
// has died, and is pointed with a T*. For game objects that refer to others that may go
// first (a player's palms and vehicle, a weapon's beam): holding one never dangles.
//
// T must derive from QorBase. Embed it by value, like Link; it is never copied (copying
// would have to join the target's referrer list, so it is left to set()).
#include "engine/Link.h"
#include "engine/QorBase.h"

template <class T>
class TypedLink : public Link {
public:
    explicit TypedLink(QorBase* owner_ = nullptr) : Link(owner_) {}
    TypedLink(const TypedLink&) = delete;
    TypedLink& operator=(const TypedLink&) = delete;
    ~TypedLink() override = default;

    TypedLink& operator=(T* object) {
        set(object);
        return *this;
    }
    T* get() const { return static_cast<T*>(target); }
    // Reads as the pointer it holds, so that holders test and pass it like one.
    operator T*() const { return get(); }
    T* operator->() const { return get(); }
};
