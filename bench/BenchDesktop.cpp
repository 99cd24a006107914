#include "BenchDesktop.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace vesk::bench {
namespace fs = std::filesystem;

namespace {

constexpr const char* kHomeToken = "@VESK_HOME@";

bool endsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

std::string copySetting(const fs::path& from, const fs::path& to, const std::string& home) {
    std::ifstream in(from, std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    if (!in.good() && !in.eof()) return "cannot read " + from.string();
    std::string text = buffer.str();
    for (std::size_t pos = 0; (pos = text.find(kHomeToken, pos)) != std::string::npos; pos += home.size()) {
        text.replace(pos, std::string(kHomeToken).size(), home);
    }
    std::ofstream out(to, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    return out ? "" : "cannot write " + to.string();
}

}  // namespace

std::string desktopMailbox(const std::string& home) { return home + "/mail/teo"; }

void removeTree(const std::string& path) {
    std::error_code ec;
    fs::remove_all(path, ec);
}

std::string makeBenchDesktop(const std::string& exampleDir, const std::string& home, const std::string& maildir) {
    std::error_code ec;
    const fs::path example(exampleDir), teo = example / "mail" / "teo";
    if (!fs::create_directories(home, ec)) return "cannot create " + home + ": " + (ec ? ec.message() : "it exists");
    for (auto it = fs::recursive_directory_iterator(example, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        const fs::path& from = it->path();
        if (from == teo) {  // Teo's sample messages give way to the generated ones
            it.disable_recursion_pending();
            continue;
        }
        fs::path to = fs::path(home) / fs::relative(from, example);
        if (it->is_directory()) {
            fs::create_directories(to, ec);
        } else if (endsWith(from.string(), ".reg") || endsWith(from.string(), ".ini")) {
            if (std::string error = copySetting(from, to, home); !error.empty()) return error;
        } else {
            fs::copy_file(from, to, fs::copy_options::overwrite_existing, ec);
        }
        if (ec) return "cannot copy " + from.string() + " to " + to.string() + ": " + ec.message();
    }
    if (ec) return "cannot read " + exampleDir + ": " + ec.message();
    // Every mail folder of the example gets the folders a checkout does not keep.
    for (const char* mailFolder : {"mail/mira", "mail/teo"}) {
        for (const char* sub : {"cur", "new", "tmp"}) {
            fs::create_directories(fs::path(home) / mailFolder / sub, ec);
            if (ec) return "cannot create " + home + "/" + mailFolder + "/" + sub + ": " + ec.message();
        }
    }
    for (const char* sub : {"cur", "new"}) {
        for (auto it = fs::directory_iterator(fs::path(maildir) / sub, ec); !ec && it != fs::directory_iterator();
             it.increment(ec)) {
            fs::path to = fs::path(desktopMailbox(home)) / sub / it->path().filename();
            fs::create_hard_link(it->path(), to, ec);
            if (ec) return "cannot link " + it->path().string() + " to " + to.string() + ": " + ec.message();
        }
        if (ec) return "cannot read " + maildir + "/" + sub + ": " + ec.message();
    }
    return "";
}

}  // namespace vesk::bench
