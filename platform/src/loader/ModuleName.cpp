#include "loader/ModuleName.h"

namespace vesk::loader {
namespace {

bool endsWith(const std::string& text, const char* suffix) {
    std::string tail(suffix);
    return text.size() > tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

ModuleFileNames mapModuleName(const std::string& name) {
    ModuleFileNames names;
    size_t slash = name.rfind('/');
    std::string file = name;
    if (slash != std::string::npos) {
        names.folder = name.substr(0, slash + 1);
        file = name.substr(slash + 1);
    }
    // ASCII only: module names on the desktop are plain ASCII, and a locale-dependent
    // lower-casing would map the same name differently from one machine to the next.
    for (char& c : file) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    std::string stem;
    if (endsWith(file, ".res")) {
        // Named by its resource file: nothing but that file can stand for it.
        names.resources = file;
        return names;
    }
    if (endsWith(file, ".dll")) {
        stem = file.substr(0, file.size() - 4);
    } else if (endsWith(file, ".so")) {
        stem = file.substr(0, file.size() - 3);
    } else if (file.find('.') == std::string::npos) {
        stem = file;
    } else {
        names.library = file;
        return names;
    }
    names.library = stem + ".so";
    names.resources = stem + ".res";
    return names;
}

}  // namespace vesk::loader
