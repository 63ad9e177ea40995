#pragma once
#include <cstdint>
#include <string>
#include <vector>

// OggWriter: encodes float samples as an Ogg Vorbis file with libvorbisenc.
// The stream serial number is derived from the file's relative name, so the
// same input always gives the same bytes. The file is written to a temporary
// name beside the target and renamed into place, so a reader never sees half
// a file.
class OggWriter {
public:
    // `samples` are interleaved, `channels` 1 or 2, in [-1, 1]. `quality` is
    // libvorbis' VBR quality (-0.1 .. 1.0). Returns an error text, empty on
    // success.
    static std::string write(const std::string& path, const std::string& relativeName,
                             const std::vector<float>& samples, int channels, long sampleRate, float quality);

    static int serialFor(const std::string& relativeName);
};
