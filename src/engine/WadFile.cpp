#include "engine/WadFile.h"

WadFile::WadFile(std::unique_ptr<Stream> stream_) : stream(std::move(stream_)) {}
