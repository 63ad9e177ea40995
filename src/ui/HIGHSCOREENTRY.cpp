#include "ui/HIGHSCOREENTRY.h"

#include <cstring>

#include "ui/RecordBytes.h"

void HIGHSCOREENTRY::write(RecordBytes& record, std::size_t offset) const {
    record.putBytes(offset, digest, sizeof digest);
    record.putBytes(offset + kNameOffset, name.bytes, sizeof name.bytes);
    record.putS32(offset + kScoreOffset, score);
    record.putU32(offset + kReservedOffset, reserved);
    record.putS64(offset + kTimeOffset, time);
}

void HIGHSCOREENTRY::read(const RecordBytes& record, std::size_t offset) {
    record.getBytes(offset, digest, sizeof digest);
    record.getBytes(offset + kNameOffset, name.bytes, sizeof name.bytes);
    // Bytes after the NUL count towards the digest and stay as they are; only a name
    // with no NUL at all is cut, so that it can never be read past its field.
    if (!std::memchr(name.bytes, 0, sizeof name.bytes)) name.bytes[sizeof name.bytes - 1] = 0;
    score = record.getS32(offset + kScoreOffset);
    reserved = record.getU32(offset + kReservedOffset);
    time = record.getS64(offset + kTimeOffset);
}
