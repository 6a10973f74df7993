#include "library.h"

#include <dlfcn.h>

#include "functions.h"

template <typename T> static bool bind(void *handle, const char *name, T *fn, std::string *error)
{
    void *p = dlsym(handle, name);
    if (!p) {
        *error = std::string("missing entry ") + name;
        return false;
    }
    *fn = reinterpret_cast<T>(p);
    return true;
}

bool load_library(const char *path, Library *lib, std::string *error)
{
    // A path without a slash would be searched for; a file name is meant.
    std::string file = path;
    if (file.find('/') == std::string::npos)
        file = "./" + file;
    lib->path = path;
    lib->handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!lib->handle) {
        const char *why = dlerror();
        *error = why ? why : "dlopen failed";
        return false;
    }
    bool ok = bind(lib->handle, "gamma", &lib->gamma, error) && bind(lib->handle, "jn", &lib->jn, error) &&
              bind(lib->handle, "yn", &lib->yn, error) && bind(lib->handle, "xpow", &lib->xpow, error) &&
              bind(lib->handle, "xlogy", &lib->xlogy, error);
    for (int f = F_XEXP; ok && f <= F_XATANH; f++)
        ok = bind(lib->handle, func_info[f].name, &lib->unary[f - F_XEXP], error);
    return ok;
}
