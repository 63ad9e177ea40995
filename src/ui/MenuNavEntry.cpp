#include "ui/MenuNavEntry.h"

MenuNavEntry::MenuNavEntry(QorBase* w) : widget(this) { widget.set(w); }
