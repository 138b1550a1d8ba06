#include "module_loader.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace panel {

namespace {

#if defined(_WIN32)
void* OpenLibrary(const std::string& path, std::string& error) {
    // No "module not found" dialog box: the caller reports the failure.
    UINT old_mode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    HMODULE handle = LoadLibraryA(path.c_str());
    SetErrorMode(old_mode);
    if (!handle) {
        DWORD code = GetLastError();
        char* text = nullptr;
        FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                           FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, 0, reinterpret_cast<LPSTR>(&text), 0, nullptr);
        error = "Windows error " + std::to_string(code);
        if (text) {
            std::string message = text;
            while (!message.empty() && (message.back() == '\n' || message.back() == '\r'))
                message.pop_back();
            error += ": " + message;
            LocalFree(text);
        }
    }
    return reinterpret_cast<void*>(handle);
}

void* FindSymbol(void* handle, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name));
}

void CloseLibrary(void* handle) {
    FreeLibrary(static_cast<HMODULE>(handle));
}
#else
void* OpenLibrary(const std::string& path, std::string& error) {
    // A bare file name would send dlopen to the library path; a module is
    // always a file the user names.
    std::string where = path.find('/') == std::string::npos ? "./" + path : path;
    void* handle = dlopen(where.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) error = dlerror();
    return handle;
}

void* FindSymbol(void* handle, const char* name) {
    return dlsym(handle, name);
}

void CloseLibrary(void* handle) {
    dlclose(handle);
}
#endif

}  // namespace

ModuleLibrary::ModuleLibrary(const std::string& path) : path_(path) {
    std::string error;
    handle_ = OpenLibrary(path, error);
    if (!handle_) throw LoadError("cannot load module " + path + ": " + error);
    linkage_ = static_cast<LinkageRecord*>(FindSymbol(handle_, "Linkage"));
    import_table_ = static_cast<ImportTableRecord*>(FindSymbol(handle_, "ImportTable"));
    const char* missing = !linkage_ ? "Linkage" : !import_table_ ? "ImportTable" : nullptr;
    if (missing) {
        CloseLibrary(handle_);
        throw LoadError("module " + path + " does not export " + missing);
    }
    if (!linkage_->gauge) {
        CloseLibrary(handle_);
        throw LoadError("module " + path + ": Linkage names no gauge");
    }
}

ModuleLibrary::~ModuleLibrary() {
    CloseLibrary(handle_);
}

void* ModuleLibrary::symbol(const char* name) const {
    return FindSymbol(handle_, name);
}

}  // namespace panel
