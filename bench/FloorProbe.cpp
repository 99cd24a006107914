#include "FloorProbe.h"

#include <dirent.h>
#include <fcntl.h>
#include <gmime/gmime.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>

namespace vesk::bench {
namespace {

double now() { return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count(); }

void countPart(GMimeObject*, GMimeObject*, gpointer parts) { ++*static_cast<long*>(parts); }

}  // namespace

std::vector<std::string> maildirFiles(const std::string& maildir) {
    std::vector<std::string> files;
    for (const char* sub : {"/cur", "/new"}) {
        std::string folder = maildir + sub;
        DIR* dir = ::opendir(folder.c_str());
        if (!dir) continue;
        while (struct dirent* entry = ::readdir(dir)) {
            if (entry->d_name[0] == '.') continue;
            files.push_back(folder + "/" + entry->d_name);
        }
        ::closedir(dir);
    }
    return files;
}

int probeReadBytes(const std::string& maildir) {
    double start = now();
    std::vector<std::string> files = maildirFiles(maildir);
    std::vector<char> buffer(1 << 16);
    long long bytes = 0;
    for (const std::string& file : files) {
        int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            std::perror(file.c_str());
            return 1;
        }
        ssize_t n;
        while ((n = ::read(fd, buffer.data(), buffer.size())) > 0) bytes += n;
        ::close(fd);
    }
    std::printf("%.6f %zu %lld\n", now() - start, files.size(), bytes);
    return 0;
}

int probeGMimeParse(const std::string& maildir) {
    g_mime_init();
    double start = now();
    std::vector<std::string> files = maildirFiles(maildir);
    long parts = 0;
    for (const std::string& file : files) {
        int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            std::perror(file.c_str());
            return 1;
        }
        GMimeStream* stream = g_mime_stream_fs_new(fd);  // owns fd from here
        GMimeParser* parser = g_mime_parser_new_with_stream(stream);
        GMimeMessage* message = g_mime_parser_construct_message(parser, nullptr);
        if (message) {
            g_mime_message_foreach(message, countPart, &parts);
            g_object_unref(message);
        }
        g_object_unref(parser);
        g_object_unref(stream);
    }
    double seconds = now() - start;
    g_mime_shutdown();
    std::printf("%.6f %zu %ld\n", seconds, files.size(), parts);
    return 0;
}

}  // namespace vesk::bench
