#pragma once
// libcurl, loaded on the first web request instead of at start: the libraries it brings
// (TLS, Kerberos, LDAP, ...) cost every run several MiB of memory, and most runs make
// no request at all. The members are the functions of <curl/curl.h> under their names
// without the "curl_" prefix. Thread-safe; the library stays loaded once loaded.
#include <curl/curl.h>

struct CurlLibrary {
    decltype(&curl_global_init) global_init = nullptr;
    decltype(&curl_global_cleanup) global_cleanup = nullptr;
    decltype(&curl_easy_init) easy_init = nullptr;
    decltype(&curl_easy_setopt) easy_setopt = nullptr;
    decltype(&curl_easy_perform) easy_perform = nullptr;
    decltype(&curl_easy_getinfo) easy_getinfo = nullptr;
    decltype(&curl_easy_cleanup) easy_cleanup = nullptr;
    decltype(&curl_slist_append) slist_append = nullptr;
    decltype(&curl_slist_free_all) slist_free_all = nullptr;

    // The loaded library, or null when it is not installed or lacks a function (logged
    // by the caller as a request that could not be opened).
    static const CurlLibrary* get();
};
