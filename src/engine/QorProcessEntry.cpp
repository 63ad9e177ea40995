#include "engine/QorProcessEntry.h"

#include "engine/ChildIterator.h"
#include "engine/Logger.h"

void QorProcessEntry::dump(const std::u16string& prefix) const {
    QOR_LOG("QorProcessEntry::dump", u"%s%s %s", prefix, u"|_", exeFile);
    for (const BasicLink* child = firstChild; child; child = child->next) {
        const std::u16string childPrefix = prefix + (child->next ? u"| " : u"  ");
        static_cast<const QorProcessEntry*>(child)->dump(childPrefix);
    }
}

QorProcessEntry* QorProcessEntry::find(int id) {
    if (processId == id) return this;
    for (BasicLink* child = firstChild; child; child = child->next)
        if (QorProcessEntry* found = static_cast<QorProcessEntry*>(child)->find(id)) return found;
    return nullptr;
}

void QorProcessEntry::insert(QorProcessEntry* entry) {
    // Adopt: children of the root listed before their parent move under it, in order.
    for (BasicLink* child = firstChild; child;) {
        BasicLink* following = child->next;
        if (static_cast<QorProcessEntry*>(child)->parentProcessId == entry->processId) {
            removeChild(child);
            entry->addChild(child);
        }
        child = following;
    }
    QorProcessEntry* parentEntry = find(entry->parentProcessId);
    (parentEntry ? parentEntry : this)->addChild(entry);
}
