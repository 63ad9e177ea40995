#include "inputaudio/QorAudio.h"

#include "engine/ClassInfo.h"

QOR_DEFINE_ROOT_CLASS(QorAudio, nullptr)

QorAudio::QorAudio() = default;

ClassInfo* QorAudio::getClass() const { return &classInfo; }

void QorAudio::onQORmodeChange(int, int) {}

void QorAudio::update(std::uint32_t) {}
