#include "IdMap.h"

#include <fcntl.h>
#include <unistd.h>

#include <charconv>
#include <fstream>
#include <sstream>

#include "store/ProblemLog.h"

namespace vesk::store::detail {
namespace {

// In place of an identifier: the message is removed as far as the store is concerned.
constexpr const char* kHidden = "/";

}  // namespace

std::string nativeId(std::uint32_t validity, std::uint32_t uid) {
    return std::to_string(validity) + "." + std::to_string(uid);
}

std::optional<std::pair<std::uint32_t, std::uint32_t>> parseNativeId(std::string_view id) {
    std::size_t dot = id.find('.');
    if (dot == std::string_view::npos || dot == 0 || dot + 1 == id.size()) return std::nullopt;
    std::uint32_t v = 0, u = 0;
    auto [p1, e1] = std::from_chars(id.data(), id.data() + dot, v);
    auto [p2, e2] = std::from_chars(id.data() + dot + 1, id.data() + id.size(), u);
    if (e1 != std::errc() || p1 != id.data() + dot || e2 != std::errc() || p2 != id.data() + id.size() || u == 0)
        return std::nullopt;
    return std::make_pair(v, u);
}

IdMap::IdMap(std::string stateDir) : m_path(std::move(stateDir) + "/vesk-imap-ids") {
    std::ifstream in(m_path);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string mailbox, validity, uid, id;
        if (!std::getline(fields, mailbox, '\t') || !std::getline(fields, validity, '\t') ||
            !std::getline(fields, uid, '\t') || !std::getline(fields, id))
            continue;
        try {
            Box& box = m_boxes[mailbox];
            box.validity = static_cast<std::uint32_t>(std::stoul(validity));
            auto u = static_cast<std::uint32_t>(std::stoul(uid));
            if (id == kHidden) {
                box.hidden.insert(u);
                continue;
            }
            box.names[u] = id;
            box.uids[id] = u;
        } catch (...) {
            continue;  // a damaged line names nothing
        }
    }
}

std::string IdMap::idOf(const std::string& mailbox, std::uint32_t validity, std::uint32_t uid) const {
    auto box = m_boxes.find(mailbox);
    if (box != m_boxes.end() && box->second.validity == validity) {
        auto it = box->second.names.find(uid);
        if (it != box->second.names.end()) return it->second;
    }
    return nativeId(validity, uid);
}

std::optional<std::uint32_t> IdMap::uidOf(const std::string& mailbox, std::uint32_t validity,
                                          std::string_view id) const {
    auto box = m_boxes.find(mailbox);
    if (box != m_boxes.end() && box->second.validity == validity) {
        auto it = box->second.uids.find(id);
        if (it != box->second.uids.end()) return it->second;
    }
    auto native = parseNativeId(id);
    if (!native || native->first != validity) return std::nullopt;
    // A native name whose message has a kept name of its own is that one's, not this one's.
    if (box != m_boxes.end() && box->second.validity == validity && box->second.names.count(native->second))
        return std::nullopt;
    return native->second;
}

void IdMap::name(const std::string& mailbox, std::uint32_t validity, std::uint32_t uid, const std::string& id) {
    this->validity(mailbox, validity);
    Box& box = m_boxes[mailbox];
    box.validity = validity;
    if (auto old = box.uids.find(id); old != box.uids.end()) {
        box.names.erase(old->second);
        box.uids.erase(old);
    }
    if (auto old = box.names.find(uid); old != box.names.end()) {
        box.uids.erase(old->second);
        box.names.erase(old);
    }
    if (id != nativeId(validity, uid)) {
        box.names[uid] = id;
        box.uids[id] = uid;
    }
    save();
}

void IdMap::forget(const std::string& mailbox, std::uint32_t uid) {
    auto box = m_boxes.find(mailbox);
    if (box == m_boxes.end()) return;
    auto it = box->second.names.find(uid);
    if (it == box->second.names.end()) return;
    box->second.uids.erase(it->second);
    box->second.names.erase(it);
    save();
}

void IdMap::hide(const std::string& mailbox, std::uint32_t validity, std::uint32_t uid) {
    this->validity(mailbox, validity);
    Box& box = m_boxes[mailbox];
    box.validity = validity;
    if (auto old = box.names.find(uid); old != box.names.end()) {
        box.uids.erase(old->second);
        box.names.erase(old);
    }
    box.hidden.insert(uid);
    save();
}

bool IdMap::hidden(const std::string& mailbox, std::uint32_t validity, std::uint32_t uid) const {
    auto box = m_boxes.find(mailbox);
    return box != m_boxes.end() && box->second.validity == validity && box->second.hidden.count(uid) != 0;
}

void IdMap::validity(const std::string& mailbox, std::uint32_t validity) {
    auto box = m_boxes.find(mailbox);
    if (box == m_boxes.end() || box->second.validity == validity) return;
    m_boxes.erase(box);
    save();
}

void IdMap::save() const {
    std::string text;
    for (const auto& [mailbox, box] : m_boxes) {
        std::string prefix = mailbox + "\t" + std::to_string(box.validity) + "\t";
        for (const auto& [uid, id] : box.names) text += prefix + std::to_string(uid) + "\t" + id + "\n";
        for (std::uint32_t uid : box.hidden) text += prefix + std::to_string(uid) + "\t" + kHidden + "\n";
    }
    // Written aside and renamed over, so a crash leaves the old map or the new one.
    std::string tmp = m_path + ".new";
    int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) {
        logProblem("store", m_path, "the names of moved messages could not be kept");
        return;
    }
    bool ok = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size()) && ::fsync(fd) == 0;
    ::close(fd);
    if (!ok || ::rename(tmp.c_str(), m_path.c_str()) != 0) {
        ::unlink(tmp.c_str());
        logProblem("store", m_path, "the names of moved messages could not be kept");
    }
}

}  // namespace vesk::store::detail
