#pragma once
// The program's mix written to a file as it plays, at the pace it would be heard: SDL's
// disk audio driver stands in for the sound card while a recording is on. The samples
// are the mixer's own (32-bit floats, interleaved stereo).
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

class MixRecording {
public:
    // From here on a device that opens writes to `file`.
    void begin(std::string file) {
        path = std::move(file);
        if (const char* was = std::getenv("SDL_AUDIODRIVER")) driver = was;
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", path.c_str(), 1);
    }
    // Puts the audio driver back as the process had it.
    void end() {
        unsetenv("SDL_DISKAUDIOFILE");
        if (driver.empty())
            unsetenv("SDL_AUDIODRIVER");
        else
            setenv("SDL_AUDIODRIVER", driver.c_str(), 1);
    }
    // Bytes written so far.
    std::size_t size() const { return std::filesystem::exists(path) ? std::filesystem::file_size(path) : 0; }
    // The samples written between the byte offsets `from` and `to`.
    std::vector<float> samples(std::size_t from, std::size_t to) const {
        std::ifstream file(path, std::ios::binary);
        file.seekg(static_cast<std::streamoff>(from));
        std::vector<float> out((to - from) / sizeof(float));
        file.read(reinterpret_cast<char*>(out.data()), static_cast<std::streamsize>(out.size() * sizeof(float)));
        return out;
    }
    // The root mean square of `samples`, both channels together; -1 for none.
    static float rms(const std::vector<float>& samples) {
        double sum = 0.0;
        for (float s : samples) sum += static_cast<double>(s) * s;
        return samples.empty() ? -1.0f : static_cast<float>(std::sqrt(sum / static_cast<double>(samples.size())));
    }

private:
    std::string path;
    std::string driver;  // the audio driver the process had before
};
