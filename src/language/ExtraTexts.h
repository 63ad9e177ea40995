#pragma once
// The program's own texts beyond the fixed string ids (StringIds.h), in both built-in
// languages. They have their own small ids and their own table, apart from the id
// table, whose numbering is fixed for good.
//
// Placeholders stand in the same order and with the same types in both languages; "|"
// breaks the line, as in every text.
namespace ExtraText {

enum Id : int {
    // The popup that tells the player of trouble with the saved data.
    kUserDataTitle = 0,
    kFileUnreadable,     // %s the file, %s the reason
    kBackupFailed,       // %s the file, %s the reason
    kFolderNotWritable,  // %s the folder, %s the reason
    // Reasons, for the %s above.
    kReasonNoPermission,
    kReasonReadOnly,
    kReasonDiskFull,
    kReasonNoFolder,
    kReasonNotAFolder,
    kReasonNotAFile,
    kReasonNameTaken,
    // The rules screens' hint on "Continue game" when the saved game is damaged.
    kSavedGameDamaged,
    kCount
};

// The text of `id` in `language` (0 English, 1 German); English for any other language,
// the empty text for an id out of range. Static storage, never null.
const char16_t* get(int language, int id);

}  // namespace ExtraText
