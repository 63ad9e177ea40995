#include "platform/CurlLibrary.h"

#include <dlfcn.h>

namespace {
template <class F>
bool bind(void* library, const char* name, F& function) {
    function = reinterpret_cast<F>(dlsym(library, name));
    return function != nullptr;
}

const CurlLibrary* load() {
    void* library = dlopen("libcurl.so.4", RTLD_NOW | RTLD_LOCAL);
    if (!library) return nullptr;
    static CurlLibrary curl;
    const bool complete =
        bind(library, "curl_global_init", curl.global_init) &&
        bind(library, "curl_global_cleanup", curl.global_cleanup) && bind(library, "curl_easy_init", curl.easy_init) &&
        bind(library, "curl_easy_setopt", curl.easy_setopt) && bind(library, "curl_easy_perform", curl.easy_perform) &&
        bind(library, "curl_easy_getinfo", curl.easy_getinfo) &&
        bind(library, "curl_easy_cleanup", curl.easy_cleanup) &&
        bind(library, "curl_slist_append", curl.slist_append) &&
        bind(library, "curl_slist_free_all", curl.slist_free_all);
    if (complete) return &curl;
    dlclose(library);
    return nullptr;
}
}  // namespace

const CurlLibrary* CurlLibrary::get() {
    static const CurlLibrary* const loaded = load();
    return loaded;
}
