#include "engine/Console.h"

#include "engine/ClassInfo.h"
#include "engine/Logger.h"

QOR_DEFINE_CLASS(Console, Context, nullptr)

Console::Console() { QOR_LOG("Console::Console", u"Starting console..."); }

ClassInfo* Console::getClass() const { return &classInfo; }
