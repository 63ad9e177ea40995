#pragma once
// One mounted data archive: keeps its file open for as long as it is mounted (a child
// of the file manager's `wads`). Entries are read through streams of their own.
#include <memory>

#include "engine/QorBase.h"
#include "engine/Stream.h"

class WadFile : public QorBase {
public:
    explicit WadFile(std::unique_ptr<Stream> stream);

    std::unique_ptr<Stream> stream;  // the archive file, open for reading; closed with the object
};
