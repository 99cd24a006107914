// Listing and reading a 10,000-message Maildir through the store, next to reading the same
// files' bytes. Items per second are messages per second.
//   store_bench [--benchmark_filter=...]   (VESK_BENCH_MAILDIR=<dir> uses an existing Maildir)
#include <benchmark/benchmark.h>
#include <dirent.h>
#include <fcntl.h>
#include <ftw.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "SyntheticMail.h"
#include "store/Store.h"

namespace {

constexpr unsigned kMessages = 10000;

struct Fixture {
    std::string dir;
    bool owned = false;
    ~Fixture() {
        if (owned)
            ::nftw(dir.c_str(), [](const char* p, const struct stat*, int, struct FTW*) { return ::remove(p); }, 16,
                   FTW_DEPTH | FTW_PHYS);
    }
};

const std::string& maildir() {
    static Fixture fixture = [] {
        Fixture f;
        if (const char* given = std::getenv("VESK_BENCH_MAILDIR")) {
            f.dir = given;
            return f;
        }
        char tmpl[] = "/tmp/vesk-bench-XXXXXX";
        if (!::mkdtemp(tmpl)) std::abort();
        f.dir = tmpl;
        f.owned = true;
        if (!vesk::bench::writeSyntheticMaildir(f.dir, kMessages, 1)) std::abort();
        return f;
    }();
    return fixture.dir;
}

std::vector<std::string> messageFiles() {
    std::vector<std::string> files;
    for (const char* sub : {"/new", "/cur"}) {
        std::string dir = maildir() + sub;
        DIR* d = ::opendir(dir.c_str());
        if (!d) continue;
        while (struct dirent* e = ::readdir(d)) {
            if (e->d_name[0] != '.') files.push_back(dir + "/" + e->d_name);
        }
        ::closedir(d);
    }
    return files;
}

// The floor: list the two folders and read every file's bytes, nothing else.
void ReadBytes(benchmark::State& state) {
    std::vector<char> buffer(1 << 20);
    std::size_t count = 0, bytes = 0;
    for (auto _ : state) {
        std::vector<std::string> files = messageFiles();
        count = files.size();
        for (const std::string& path : files) {
            int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
            ssize_t n;
            while ((n = ::read(fd, buffer.data(), buffer.size())) > 0) bytes += static_cast<std::size_t>(n);
            ::close(fd);
        }
        benchmark::DoNotOptimize(bytes);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * count));
    state.SetBytesProcessed(static_cast<int64_t>(bytes));
}

std::unique_ptr<vesk::store::Store> openStore(benchmark::State& state) {
    auto opened = vesk::store::openMaildir(maildir());
    if (!opened) state.SkipWithError("cannot open the Maildir");
    return opened ? std::move(*opened) : nullptr;
}

void List(benchmark::State& state) {
    auto store = openStore(state);
    if (!store) return;
    std::size_t count = 0;
    for (auto _ : state) {
        auto list = store->list(vesk::store::kInbox);
        count = list->size();
        benchmark::DoNotOptimize(list);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * count));
}

void ListAndRead(benchmark::State& state, vesk::store::ReadMode mode) {
    auto store = openStore(state);
    if (!store) return;
    std::size_t count = 0;
    for (auto _ : state) {
        auto list = store->list(vesk::store::kInbox);
        count = list->size();
        for (const auto& info : *list) {
            auto message = store->read(vesk::store::kInbox, info.id, mode);
            if (!message) {
                state.SkipWithError("a message could not be read");
                return;
            }
            benchmark::DoNotOptimize(message);
        }
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * count));
}

BENCHMARK(ReadBytes)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(List)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ListAndRead, headers, vesk::store::ReadMode::Headers)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK_CAPTURE(ListAndRead, full, vesk::store::ReadMode::Full)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
