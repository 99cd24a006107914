// vesk-mailstore: look into a mail store from the command line.
//   vesk-mailstore <root> folders
//   vesk-mailstore <root> list [folder]
//   vesk-mailstore <root> show <folder> <id>
//   vesk-mailstore <root> queue [outbox]
//   vesk-mailstore <root> log
//   vesk-mailstore <root> flush <command> [sent-folder]
// Texts are printed as the store hands them to the plug-ins (Windows-1252), converted to
// UTF-8 for the terminal.
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "platform/Codepage.h"
#include "store/Store.h"

using namespace vesk::store;

namespace {

// Store texts are Windows-1252 with CR LF line ends; the terminal wants UTF-8 and LF.
std::string utf8(const std::string& cp1252) {
    std::string text = vesk::cp::cp1252ToUtf8(cp1252);
    std::erase(text, '\r');
    return text;
}

std::string when(std::time_t t) {
    if (t == 0) return "-";
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S", std::localtime(&t));
    return buf;
}

std::string addresses(const std::vector<Address>& list) {
    std::string out;
    for (const Address& a : list) {
        if (!out.empty()) out += ", ";
        out += a.name.empty() ? a.address : a.name + " <" + a.address + ">";
    }
    return out;
}

int fail(Status status, const char* what) {
    std::fprintf(stderr, "vesk-mailstore: %s: %s\n", what, describe(status));
    return 1;
}

int listFolder(Store& store, const std::string& folder) {
    auto list = store.list(folder);
    if (!list) return fail(list.status(), folder.c_str());
    for (const MessageInfo& m : *list) {
        auto msg = store.read(folder, m.id, ReadMode::Headers);
        std::string subject = msg ? utf8(msg->subject) : std::string("(") + describe(msg.status()) + ")";
        std::printf("%-4s %s %8llu  %s  %s\n", m.flags.c_str(), when(m.delivered).c_str(),
                    static_cast<unsigned long long>(m.size), m.id.c_str(), subject.c_str());
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr,
                     "usage: %s <root> folders | list [folder] | show <folder> <id> | queue [outbox] | log |"
                     " flush <command> [sent-folder]\n",
                     argv[0]);
        return 2;
    }
    auto opened = openMaildir(argv[1]);
    if (!opened) return fail(opened.status(), argv[1]);
    Store& store = **opened;
    std::string cmd = argv[2];
    if (cmd == "folders") {
        auto names = store.folders();
        if (!names) return fail(names.status(), "folders");
        for (const std::string& n : *names) {
            auto list = store.list(n);
            std::printf("%-24s %zu\n", n.c_str(), list ? list->size() : 0);
        }
        return 0;
    }
    if (cmd == "list") return listFolder(store, argc > 3 ? argv[3] : kInbox);
    if (cmd == "queue") return listFolder(store, argc > 3 ? argv[3] : kOutbox);
    if (cmd == "show" && argc == 5) {
        auto m = store.read(argv[3], argv[4]);
        if (!m) return fail(m.status(), argv[4]);
        static const char* priorities[] = {"high", "normal", "low"};
        std::printf("From:     %s\nTo:       %s\nCc:       %s\nBcc:      %s\nSubject:  %s\n",
                    utf8(addresses({m->from})).c_str(), utf8(addresses(m->to)).c_str(),
                    utf8(addresses(m->cc)).c_str(), utf8(addresses(m->bcc)).c_str(), utf8(m->subject).c_str());
        std::printf("Sent:     %s\nReceived: %s\nPriority: %s\nRead:     %s\nFlags:    %s\n", when(m->sent).c_str(),
                    when(m->received).c_str(), priorities[static_cast<int>(m->priority)], m->read ? "yes" : "no",
                    m->info.flags.c_str());
        for (std::size_t i = 0; i < m->attachments.size(); ++i)
            std::printf("Attached: [%zu] %s (%s)\n", i, utf8(m->attachments[i].name).c_str(),
                        m->attachments[i].contentType.c_str());
        std::printf("\n%s\n", utf8(m->body).c_str());
        return 0;
    }
    if (cmd == "log") {
        auto log = store.queueLog();
        if (!log) return fail(log.status(), "log");
        for (const SendRecord& r : *log)
            std::printf("%s  %-6s %s  %s\n", when(r.when).c_str(), describe(r.outcome), r.id.c_str(), r.detail.c_str());
        return 0;
    }
    if (cmd == "flush" && argc >= 4) {
        SendOptions options;
        options.command = argv[3];
        if (argc > 4) options.sentFolder = argv[4];
        auto out = store.flush(options);
        if (!out) return fail(out.status(), "flush");
        int failed = 0;
        for (const SendRecord& r : *out) {
            std::printf("%-6s %s  %s\n", describe(r.outcome), r.id.c_str(), r.detail.c_str());
            if (r.outcome != SendOutcome::Sent) ++failed;
        }
        return failed ? 1 : 0;
    }
    std::fprintf(stderr, "vesk-mailstore: unknown command or wrong arguments: %s\n", cmd.c_str());
    return 2;
}
