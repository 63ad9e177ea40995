#include "render/QorGraphics.h"

#include <SDL.h>
#include <epoxy/gl.h>

#include "engine/ClassInfo.h"
#include "engine/ErrorManager.h"
#include "engine/Logger.h"
#include "platform/ResultCode.h"
#include "platform/Window.h"

QOR_DEFINE_ROOT_CLASS(QorGraphics, nullptr)

QorGraphics::QorGraphics(Window& window_) : window(window_) {
    QOR_LOG("QorGraphics::QorGraphics", u"Starting...");
    SDL_Window* w = window.handle();
    QOR_ASSERT("QorGraphics::QorGraphics", w != nullptr);
    SDL_SetWindowSize(w, virtualWidth, virtualHeight);
    SDL_SetWindowPosition(w, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    glContext = SDL_GL_CreateContext(w);
    if (!glContext)
        QOR_FATAL("QorGraphics::QorGraphics", u"Could not create an OpenGL 3.3 core context: %hs", SDL_GetError());
    QOR_LOG("QorGraphics::QorGraphics", u"OpenGL %hs on %hs", reinterpret_cast<const char*>(glGetString(GL_VERSION)),
            reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
}

QorGraphics::~QorGraphics() {
    if (glContext) SDL_GL_DeleteContext(glContext);
}

ClassInfo* QorGraphics::getClass() const { return &classInfo; }

void QorGraphics::onQORmodeChange(int, int) {}

std::int32_t QorGraphics::testCooperativeLevel() const { return ResultCode::kOk; }

bool QorGraphics::restorePresentation(bool) { return true; }

void QorGraphics::beginScene() {}

void QorGraphics::clear() {
    int w = 0, h = 0;
    SDL_GL_GetDrawableSize(window.handle(), &w, &h);
    glViewport(0, 0, w, h);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
}

void QorGraphics::endScene() {}

void QorGraphics::flip() { SDL_GL_SwapWindow(window.handle()); }

void QorGraphics::saveConfig(MemoryIniFile&) {}

bool QorGraphics::saveScreenshot(Context*, const std::u16string&) { return false; }

void QorGraphics::restoreDesktop() {}
