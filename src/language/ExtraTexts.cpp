#include "language/ExtraTexts.h"

#include "language/TextTables.h"

namespace ExtraText {

namespace {
// One row per id, in id order; the columns are the languages.
constexpr const char16_t* kTexts[kCount][kLanguageCount] = {
    {u"Your saved data", u"Ihre gespeicherten Daten"},
    {u"The file|%s|cannot be read (%s).|It is left as it is, and changes to it are not saved until the game is "
     u"started again.",
     u"Die Datei|%s|kann nicht gelesen werden (%s).|Sie bleibt, wie sie ist, und Änderungen daran werden bis zum "
     u"nächsten Spielstart nicht gespeichert."},
    {u"The file|%s|is damaged, and a copy of it could not be kept (%s).|It is left as it is, and changes to it are not "
     u"saved until the game is started again.",
     u"Die Datei|%s|ist beschädigt, und eine Kopie davon konnte nicht angelegt werden (%s).|Sie bleibt, wie sie ist, "
     u"und Änderungen daran werden bis zum nächsten Spielstart nicht gespeichert."},
    {u"The game cannot save in the folder|%s|(%s).|Your changes will not be saved.",
     u"Das Spiel kann im Ordner|%s|nicht speichern (%s).|Ihre Änderungen werden nicht gespeichert."},
    {u"no permission", u"keine Berechtigung"},
    {u"the disk is read-only", u"der Datenträger ist schreibgeschützt"},
    {u"the disk is full", u"der Datenträger ist voll"},
    {u"the folder is missing and cannot be made", u"der Ordner fehlt und kann nicht angelegt werden"},
    {u"a file stands in the place of a folder", u"an Stelle eines Ordners steht eine Datei"},
    {u"it is not a regular file", u"es ist keine gewöhnliche Datei"},
    {u"the name of the copy is taken", u"der Name der Kopie ist schon vergeben"},
    {u"Your saved game is damaged and cannot be continued.",
     u"Ihr gespeichertes Spiel ist beschädigt und kann nicht fortgesetzt werden."},
};
}  // namespace

const char16_t* get(int language, int id) {
    if (id < 0 || id >= kCount) return u"";
    if (language < 0 || language >= kLanguageCount) language = 0;
    return kTexts[id][language];
}

}  // namespace ExtraText
