#include "platform/GlCheck.h"

#include <epoxy/gl.h>

#include <cstdio>
#include <cstdlib>

namespace {
const char* errorName(GLenum error) {
    switch (error) {
        case GL_INVALID_ENUM:
            return "GL_INVALID_ENUM";
        case GL_INVALID_VALUE:
            return "GL_INVALID_VALUE";
        case GL_INVALID_OPERATION:
            return "GL_INVALID_OPERATION";
        case GL_INVALID_FRAMEBUFFER_OPERATION:
            return "GL_INVALID_FRAMEBUFFER_OPERATION";
        case GL_OUT_OF_MEMORY:
            return "GL_OUT_OF_MEMORY";
        default:
            return "an unknown OpenGL error";
    }
}

// Before the engine takes the reports, a debug run stops where the fault is, for the
// debugger or the crash report.
void writeAndAbort(const char* error, const char* call, const char* function, const char* file, int line) {
    std::fprintf(stderr, "%s after %s in %s() at %s:%d\n", error, call, function, file, line);
    std::abort();
}

GlCheck::Reporter reporter = writeAndAbort;
}  // namespace

GlCheck::Reporter GlCheck::setReporter(Reporter next) {
    const Reporter previous = reporter;
    reporter = next ? next : writeAndAbort;
    return previous;
}

void GlCheck::afterCall(const char* call, const char* function, const char* file, int line) {
    const GLenum error = glGetError();
    if (error == GL_NO_ERROR) return;
    // OpenGL may hold one error of each kind: clearing them all keeps the next check's
    // report to the next call's own. Bounded, since without a current context some
    // drivers report an error for ever.
    for (int i = 0; i < 8 && glGetError() != GL_NO_ERROR; ++i) {
    }
    reporter(errorName(error), call, function, file, line);
}
