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

// Removes the store's parse cache, so the next store parses every message again.
void dropParseCache() {
    for (const char* suffix : {"", "-wal", "-shm"}) ::unlink((maildir() + "/vesk-cache.db" + suffix).c_str());
}

// One pass as a plug-in's full retrieval makes it: list, read every message, and with
// `attachments` fetch each attachment's bytes.
bool readAll(vesk::store::Store& store, vesk::store::ReadMode mode, bool attachments, std::size_t& count) {
    auto list = store.list(vesk::store::kInbox);
    if (!list) return false;
    count = list->size();
    for (const auto& info : *list) {
        auto message = store.read(vesk::store::kInbox, info.id, mode);
        if (!message) return false;
        for (std::size_t i = 0; attachments && i < message->attachments.size(); ++i) {
            auto bytes = store.attachment(vesk::store::kInbox, info.id, i);
            if (!bytes) return false;
            benchmark::DoNotOptimize(bytes);
        }
        benchmark::DoNotOptimize(message);
    }
    return true;
}

// `cold`: every pass starts without a parse cache (a first sync); otherwise the cache holds
// every message (a sync of an unchanged mailbox).
void ListAndRead(benchmark::State& state, vesk::store::ReadMode mode, bool cold, bool attachments) {
    std::size_t count = 0;
    std::unique_ptr<vesk::store::Store> store;
    if (!cold) {
        store = openStore(state);
        if (!store || !readAll(*store, vesk::store::ReadMode::Full, attachments, count)) return;
    }
    for (auto _ : state) {
        if (cold) {
            state.PauseTiming();
            store.reset();
            dropParseCache();
            state.ResumeTiming();
            store = openStore(state);
            if (!store) return;
        }
        if (!readAll(*store, mode, attachments, count)) {
            state.SkipWithError("a message could not be read");
            return;
        }
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * count));
}

// Moves the first `state.range(0)` messages into Trash, as deleting them through a plug-in
// does, and (untimed) back again. Linear: ten times the messages take ten times as long.
void DeleteToTrash(benchmark::State& state) {
    auto store = openStore(state);
    if (!store) return;
    auto count = static_cast<std::size_t>(state.range(0));
    if (store->createFolder("Trash") != vesk::store::Status::Ok) return state.SkipWithError("no Trash");
    for (auto _ : state) {
        auto list = store->list(vesk::store::kInbox);
        if (!list || list->size() < count) return state.SkipWithError("too few messages");
        list->resize(count);
        for (const auto& info : *list) {
            if (store->move(vesk::store::kInbox, info.id, "Trash") != vesk::store::Status::Ok)
                return state.SkipWithError("a move failed");
        }
        state.PauseTiming();
        for (const auto& info : *list) {
            if (store->move("Trash", info.id, vesk::store::kInbox) != vesk::store::Status::Ok)
                return state.SkipWithError("a move back failed");
        }
        state.ResumeTiming();
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * count));
}

BENCHMARK(ReadBytes)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(List)->Unit(benchmark::kMillisecond);
BENCHMARK(DeleteToTrash)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK_CAPTURE(ListAndRead, headers/cold, vesk::store::ReadMode::Headers, true, false)
    ->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK_CAPTURE(ListAndRead, full/cold, vesk::store::ReadMode::Full, true, false)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK_CAPTURE(ListAndRead, attachments/cold, vesk::store::ReadMode::Full, true, true)
    ->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK_CAPTURE(ListAndRead, headers/cached, vesk::store::ReadMode::Headers, false, false)
    ->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK_CAPTURE(ListAndRead, full/cached, vesk::store::ReadMode::Full, false, false)
    ->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK_CAPTURE(ListAndRead, attachments/cached, vesk::store::ReadMode::Full, false, true)
    ->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
