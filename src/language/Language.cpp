#include "language/Language.h"

const char16_t* Language::getString(int) const { return u""; }
