#include "inputaudio/TouchPoint.h"

int TouchPoint::nextId = 0;

TouchPoint::TouchPoint() : id(nextId++) {}
