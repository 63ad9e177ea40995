#pragma once
// Class records: every class that takes part in the object model has one static
// ClassInfo, built before main runs, naming the class, its id, its alphabetical index,
// an optional factory and the record of its parent class.
//
// Declare in the class body:   static ClassInfo classInfo;  and override getClass().
// Define in the class's .cpp:   QOR_DEFINE_CLASS(Self, Super, factory)
//                           or  QOR_DEFINE_CLASS_AS(Self, "registered name", Super, factory)
//                           or  QOR_DEFINE_ROOT_CLASS(Self, factory)
// where factory is `nullptr` or `(&makeInstance<Self, Root>)`.
//
// QOR_DEFINE_CLASS registers the class under its C++ name. QOR_DEFINE_CLASS_AS registers
// it under another: a class that peers, packets or saved data know by a generated name
// ("_" and eight hexadecimal digits, whose number is the id) keeps that name, and with it
// its id and its place in the alphabetical index, while its C++ name says what it does.
#include <cstdint>
#include <new>
#include <string>
#include <string_view>
#include <type_traits>

// Makes a default instance. The result points to the root class of the record's
// hierarchy (BasicLink for objects, RPC for remote calls); the caller owns it.
using ClassFactory = void* (*)();

template <class Self, class Root>
void* makeInstance() {
    static_assert(std::is_base_of_v<Root, Self>);
    return static_cast<Root*>(new (std::nothrow) Self());
}

class ClassInfo {
public:
    // Builds the record and pushes it at the front of the registry's list. A record
    // that names itself as parent is a root (parent null). The parent may be a record
    // whose own initialiser has not run yet: only its address is kept.
    ClassInfo(std::uint32_t id, std::u16string_view name, ClassInfo* parent, ClassFactory factory);
    virtual ~ClassInfo();
    ClassInfo(const ClassInfo&) = delete;
    ClassInfo& operator=(const ClassInfo&) = delete;

    std::u16string getName() const { return name; }
    // True when this record is `other` or one of its descendants.
    bool isA(const ClassInfo* other) const;

    std::u16string name;             // the class name as registered
    std::uint32_t id = 0;            // hash of the name, or the number of a generated name
    std::int32_t index = -1;         // alphabetical rank, -1 until ClassRegistry::buildIndex
    ClassFactory factory = nullptr;  // null for classes that cannot be made this way
    ClassInfo* next = nullptr;       // the following record in the registry's list
    ClassInfo* parent = nullptr;     // null for a root class
};

// The id of a class name: h = h * 33 + c over the UTF-16 units (mod 2^32); a generated
// name ("_" and exactly eight lower-case hexadecimal digits) has that number as its id.
std::uint32_t classIdForName(std::u16string_view name);

#define QOR_DEFINE_CLASS(Self, Super, factory)                                        \
    static_assert(std::is_base_of_v<Super, Self>, #Self " must derive from " #Super); \
    ClassInfo Self::classInfo(classIdForName(u"" #Self), u"" #Self, &Super::classInfo, factory);

#define QOR_DEFINE_CLASS_AS(Self, registeredName, Super, factory)                     \
    static_assert(std::is_base_of_v<Super, Self>, #Self " must derive from " #Super); \
    ClassInfo Self::classInfo(classIdForName(u"" registeredName), u"" registeredName, &Super::classInfo, factory);

#define QOR_DEFINE_ROOT_CLASS(Self, factory) \
    ClassInfo Self::classInfo(classIdForName(u"" #Self), u"" #Self, &Self::classInfo, factory);
