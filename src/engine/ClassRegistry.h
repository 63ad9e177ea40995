#pragma once
// The registry of all class records. Records are static objects that register
// themselves before main; the registry never owns them. The alphabetical index is
// built once at start-up; a name found twice sets `bBadClasses`.
#include <cstdint>
#include <string_view>
#include <vector>

class ClassInfo;

class ClassRegistry {
public:
    // The one registry, created on first use (by the first record's construction).
    static ClassRegistry& instance();

    void add(ClassInfo* record);     // pushes at the front of the list
    void remove(ClassInfo* record);  // at exit, as each record is destroyed

    // Sorts the records by name (UTF-16 code units, a prefix first) and numbers them.
    // Runs once; later calls change nothing.
    void buildIndex();

    ClassInfo* findById(std::uint32_t id) const;  // first match from head, or null
    ClassInfo* findByName(std::u16string_view name) const;
    // The record at alphabetical position i, or null when i is out of range.
    ClassInfo* findByIndex(std::int64_t i) const;
    int count() const;

    bool bBadClasses = false;        // two records share a name
    std::vector<ClassInfo*> sorted;  // all records in alphabetical order after buildIndex
    ClassInfo* head = nullptr;       // the most recently constructed record

private:
    ClassRegistry() = default;
};
