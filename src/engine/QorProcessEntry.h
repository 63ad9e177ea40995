#pragma once
// One process of the system report's process tree: an entry is a child of its parent
// process's entry.
#include <string>

#include "engine/QorBase.h"

class QorProcessEntry : public QorBase {
public:
    QorProcessEntry() = default;
    QorProcessEntry(int processId_, int parentProcessId_, std::u16string exeFile_)
        : processId(processId_), parentProcessId(parentProcessId_), exeFile(std::move(exeFile_)) {}

    // Logs "<prefix>|_ <name>" and then the children, drawing the tree's columns.
    void dump(const std::u16string& prefix) const;
    // The entry with this process id in the subtree (this entry first), or null.
    QorProcessEntry* find(int id);

    // Builds the tree: each process goes under its parent's entry, or under `root` when
    // the parent is not (yet) known; processes already under the root whose parent is
    // the new one move under it.
    void insert(QorProcessEntry* entry);

    int processId = -1;
    int parentProcessId = -1;
    std::u16string exeFile;  // the executable's short name
};
