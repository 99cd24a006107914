#include "TestSupport.h"

#include <dirent.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace vesk::store::test {

TempDir::TempDir() {
    const char* base = std::getenv("TMPDIR");
    std::string tmpl = std::string(base && *base ? base : "/tmp") + "/vesk-store-XXXXXX";
    char* made = ::mkdtemp(tmpl.data());
    if (!made) ADD_FAILURE() << "mkdtemp failed";
    m_path = tmpl;
}

TempDir::~TempDir() {
    ::nftw(
        m_path.c_str(),
        [](const char* p, const struct stat*, int, struct FTW*) { return ::remove(p); }, 16,
        FTW_DEPTH | FTW_PHYS);
}

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in.good()) << "cannot read " << path;
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string fixture(const std::string& name) { return slurp(std::string(VESK_STORE_CORPORA) + "/messages/" + name); }

void spit(const std::string& path, const std::string& data) {
    std::ofstream out(path, std::ios::binary);
    out << data;
    EXPECT_TRUE(out.good()) << "cannot write " << path;
}

std::vector<std::string> filesIn(const std::string& dir) {
    std::vector<std::string> names;
    if (DIR* d = ::opendir(dir.c_str())) {
        while (struct dirent* e = ::readdir(d)) {
            if (e->d_name[0] != '.') names.emplace_back(e->d_name);
        }
        ::closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace vesk::store::test
