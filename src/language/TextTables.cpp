#include "language/TextTables.h"

void fillTextRow(TextRow& row, std::span<const TextEntry> entries) {
    for (const TextEntry& entry : entries) {
        if (entry.id >= 0 && entry.id < kStringIdCount) {
            row[entry.id] = entry.text;
        }
    }
}

std::optional<MissingText> findMissingText(const TextRow (&tables)[kLanguageCount]) {
    for (int language = 0; language < kLanguageCount; ++language) {
        for (int id = 0; id < kStringIdCount; ++id) {
            if (tables[language][id] == nullptr) {
                return MissingText{language, id};
            }
        }
    }
    return std::nullopt;
}
