// Opens a gauge module and finds its two exported records.
#pragma once

#include <stdexcept>
#include <string>

#include "gauge_records.h"

namespace panel {

class LoadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class ModuleLibrary {
public:
    // Throws LoadError naming the file and the reason.
    explicit ModuleLibrary(const std::string& path);
    ~ModuleLibrary();
    ModuleLibrary(const ModuleLibrary&) = delete;
    ModuleLibrary& operator=(const ModuleLibrary&) = delete;

    const std::string& path() const { return path_; }
    LinkageRecord& linkage() const { return *linkage_; }
    ImportTableRecord& import_table() const { return *import_table_; }
    // Address of any other exported symbol, or null.
    void* symbol(const char* name) const;
    // The HMODULE on Windows, the dlopen handle elsewhere.
    void* native_handle() const { return handle_; }

private:
    std::string path_;
    void* handle_ = nullptr;
    LinkageRecord* linkage_ = nullptr;
    ImportTableRecord* import_table_ = nullptr;
};

}  // namespace panel
