#pragma once
// What the whole-program benchmarks share: each measurement runs in a fresh child copy
// of the benchmark (so that one's memory and caches do not colour another's), launched
// with the parent's clock so that its times count from launch; the clocks and the peak
// memory they report; and the bare window that the program's CPU cost is weighed
// against: an SDL window with an OpenGL 3.3 core context drawing one full-screen texture
// at 60 frames per second.
#include <SDL.h>
#include <epoxy/gl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace bench {
constexpr double kFramePeriod = 1.0 / 60.0;  // s
constexpr int kWindowWidth = 800, kWindowHeight = 480;

inline double nowSeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// The whole process's CPU time, s.
inline double cpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// The process's largest resident size so far, MiB.
inline double peakMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

inline void sleepUntil(double t) {
    const double left = t - nowSeconds();
    if (left > 0.0) std::this_thread::sleep_for(std::chrono::duration<double>(left));
}

// The bare window's figures as its child printed them; false when it printed none.
struct BareWindow {
    double firstFrame = 0.0, cpu = 0.0, peak = 0.0;  // s, CPU s per wall s, MiB
    bool read(const std::string& printed) {
        return std::sscanf(printed.c_str(), "%lf %lf %lf", &firstFrame, &cpu, &peak) == 3;
    }
};

// A figure weighed against the bare window's in the same run.
inline double ratio(double figure, double bare) { return bare > 0.0 ? figure / bare : 0.0; }

// Runs this program as `self mode <launch time>` with its data folder under `dataHome`
// and returns what it printed, or an empty text.
inline std::string runChild(const char* self, const char* mode, const std::string& dataHome) {
    int out[2];
    if (pipe(out) != 0) return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    setenv("XDG_DATA_HOME", dataHome.c_str(), 1);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    const std::string launched = std::to_string(nowSeconds());
    char* argv[] = {const_cast<char*>(self), const_cast<char*>(mode), const_cast<char*>(launched.c_str()), nullptr};
    pid_t pid = -1;
    const int failed = posix_spawn(&pid, self, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    std::string text;
    char buffer[256];
    for (ssize_t n; !failed && (n = read(out[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<std::size_t>(n));
    close(out[0]);
    int status = 0;
    if (!failed) waitpid(pid, &status, 0);
    return text;
}

inline GLuint compileShader(GLenum kind, const char* source) {
    const GLuint s = glCreateShader(kind);
    glShaderSource(s, 1, &source, nullptr);
    glCompileShader(s);
    return s;
}

// The bare window's child: prints the seconds from `launched` to its first presented
// frame, its CPU share (CPU s per wall s) over `seconds` of drawing at 60 frames per
// second and its peak memory (MiB). Returns the child's exit status.
inline int runBareWindow(double launched, double seconds) {
    if (SDL_Init(SDL_INIT_VIDEO) != 0) return 1;
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_Window* w = SDL_CreateWindow("bare", 50, 50, kWindowWidth, kWindowHeight, SDL_WINDOW_OPENGL);
    SDL_GLContext gl = w ? SDL_GL_CreateContext(w) : nullptr;
    if (!gl) return 1;
    SDL_GL_SetSwapInterval(0);
    glClear(GL_COLOR_BUFFER_BIT);
    SDL_GL_SwapWindow(w);
    glFinish();
    const double firstFrame = nowSeconds() - launched;
    // One full-screen texture, drawn as a triangle strip.
    const GLuint program = glCreateProgram();
    glAttachShader(program, compileShader(GL_VERTEX_SHADER,
                                          "#version 330 core\nout vec2 uv;\nvoid main() {\n"
                                          "vec2 p = vec2(gl_VertexID & 1, gl_VertexID >> 1);\n"
                                          "uv = p; gl_Position = vec4(p * 2.0 - 1.0, 0.0, 1.0); }\n"));
    glAttachShader(program, compileShader(GL_FRAGMENT_SHADER,
                                          "#version 330 core\nin vec2 uv; uniform sampler2D t;\n"
                                          "out vec4 c; void main() { c = texture(t, uv); }\n"));
    glLinkProgram(program);
    glUseProgram(program);
    GLuint vao = 0, texture = 0;
    glGenVertexArrays(1, &vao);
    glBindVertexArray(vao);
    std::vector<std::uint32_t> pixels(1024 * 512);
    for (std::size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = 0xFF000000u | static_cast<std::uint32_t>(i * 2654435761u);
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 1024, 512, 0, GL_BGRA, GL_UNSIGNED_BYTE, pixels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    double next = nowSeconds();
    for (int i = 0; i < 30; ++i) {  // settle, as the game does
        glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
        SDL_GL_SwapWindow(w);
    }
    const double cpu0 = cpuSeconds(), wall0 = nowSeconds();
    while (nowSeconds() - wall0 < seconds) {
        SDL_Event e;
        while (SDL_PollEvent(&e)) {
        }
        glClear(GL_COLOR_BUFFER_BIT);
        glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
        SDL_GL_SwapWindow(w);
        glFinish();  // the frame is really drawn, as the game's is before it paces
        next += kFramePeriod;
        sleepUntil(next);
    }
    const double cpu = (cpuSeconds() - cpu0) / (nowSeconds() - wall0);
    std::printf("%.6f %.6f %.3f\n", firstFrame, cpu, peakMiB());
    SDL_GL_DeleteContext(gl);
    SDL_DestroyWindow(w);
    SDL_Quit();
    return 0;
}
}  // namespace bench
