#include "DovecotServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <grp.h>
#include <netinet/in.h>
#include <pwd.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace vesk::store::testing {
namespace {

namespace fs = std::filesystem;

constexpr const char* kDovecot = "/usr/sbin/dovecot";

// A loopback port nobody listens on right now (the kernel's pick for a socket bound to 0).
int freePort() {
    int s = ::socket(AF_INET, SOCK_STREAM, 0);
    if (s < 0) throw std::runtime_error("no socket for a free port");
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    if (::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
        ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &len) != 0) {
        ::close(s);
        throw std::runtime_error("cannot find a free loopback port");
    }
    int port = ntohs(a.sin_port);
    ::close(s);
    return port;
}

bool answers(int port) {
    int s = ::socket(AF_INET, SOCK_STREAM, 0);
    if (s < 0) return false;
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<std::uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bool ok = ::connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    ::close(s);
    return ok;
}

void writeText(const std::string& path, const std::string& text, mode_t mode) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out) throw std::runtime_error("cannot write " + path);
    ::chmod(path.c_str(), mode);
}

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

int run(const std::vector<std::string>& argv) {
    pid_t pid = ::fork();
    if (pid < 0) return -1;
    if (pid == 0) {
        int null = ::open("/dev/null", O_RDWR);
        if (null >= 0) {
            ::dup2(null, 1);
            ::dup2(null, 2);
        }
        std::vector<char*> args;
        for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        ::execvp(args[0], args.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

struct Account {
    std::string user;
    std::string group;
    uid_t uid;
    gid_t gid;
};

Account accountOf(const passwd* pw) {
    const group* gr = ::getgrgid(pw->pw_gid);
    if (!gr) throw std::runtime_error(std::string("no group for system user ") + pw->pw_name);
    return {pw->pw_name, gr->gr_name, pw->pw_uid, pw->pw_gid};
}

Account accountOf(const char* name) {
    const passwd* pw = ::getpwnam(name);
    if (!pw) throw std::runtime_error(std::string("no system user ") + name + " (is the IMAP server installed?)");
    return accountOf(pw);
}

// True when every folder on the way to `dir` lets other users through.
bool reachableByOthers(const std::string& dir) {
    std::string path = fs::absolute(dir).string();
    while (!path.empty()) {
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0 || (st.st_mode & S_IXOTH) == 0) return false;
        std::size_t slash = path.find_last_of('/');
        if (slash == 0 || slash == std::string::npos) break;
        path.resize(slash);
    }
    return true;
}

void chownTree(const std::string& root, uid_t uid, gid_t gid) {
    ::chown(root.c_str(), uid, gid);
    for (const auto& e : fs::recursive_directory_iterator(root)) ::lchown(e.path().c_str(), uid, gid);
}

}  // namespace

DovecotServer::DovecotServer(DovecotOptions options) : m_options(std::move(options)) {
    if (::access(kDovecot, X_OK) != 0) throw std::runtime_error("no IMAP server at /usr/sbin/dovecot (run scripts/bootstrap)");
    m_asRoot = ::geteuid() == 0;
    const char* tmp = std::getenv("TMPDIR");
    std::string base = tmp && *tmp ? tmp : "/tmp";
    // Run as root, the server's own users must reach the folder: a temporary folder inside
    // one only root may enter will not do.
    if (m_asRoot && !reachableByOthers(base)) base = "/tmp";
    std::string pattern = base + "/vesk-dovecot-XXXXXX";
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    if (!::mkdtemp(buf.data())) throw std::runtime_error("cannot make a folder for the IMAP server");
    m_dir = buf.data();
    // The server's unprivileged processes look into this folder.
    ::chmod(m_dir.c_str(), 0755);
    m_config = m_dir + "/dovecot.conf";
    m_certFile = m_dir + "/cert.pem";
    m_keyFile = m_dir + "/key.pem";
    int rc = run({"openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj", "/CN=localhost",
                  "-addext", "subjectAltName=DNS:localhost,IP:127.0.0.1", "-keyout", m_keyFile, "-out", m_certFile});
    if (rc != 0) {
        fs::remove_all(m_dir);
        throw std::runtime_error("openssl could not make the test certificate");
    }
    ::chmod(m_certFile.c_str(), 0644);
    m_plainPort = freePort();
    m_tlsPort = freePort();
    while (m_tlsPort == m_plainPort) m_tlsPort = freePort();
    try {
        writeConfig();
        start();
    } catch (...) {
        if (m_pid > 0) kill();
        fs::remove_all(m_dir);
        throw;
    }
}

DovecotServer::~DovecotServer() {
    stop();
    std::error_code ec;
    fs::remove_all(m_dir, ec);
}

std::string DovecotServer::maildir(const std::string& user) const { return m_dir + "/home/" + user + "/Maildir"; }

std::string DovecotServer::log() const { return readText(m_dir + "/dovecot.log"); }

std::string DovecotServer::url(const std::string& user, bool tls) const {
    return std::string(tls ? "imaps://" : "imap://") + user + "@127.0.0.1:" + std::to_string(tls ? m_tlsPort : m_plainPort);
}

void DovecotServer::writeConfig() {
    Account mail{}, internal{}, login{};
    if (m_asRoot) {
        mail = accountOf("dovecot");
        internal = mail;
        login = accountOf("dovenull");
    } else {
        const passwd* pw = ::getpwuid(::geteuid());
        if (!pw) throw std::runtime_error("cannot tell who runs the tests");
        mail = accountOf(pw);
        internal = mail;
        login = mail;
    }
    std::string passwd;
    for (const auto& [user, password] : m_options.users) {
        passwd += user + ":{PLAIN}" + password + "::::::\n";
        fs::create_directories(maildir(user) + "/cur");
        fs::create_directories(maildir(user) + "/new");
        fs::create_directories(maildir(user) + "/tmp");
    }
    writeText(m_dir + "/passwd", passwd, 0644);
    fs::create_directories(m_dir + "/run");
    fs::create_directories(m_dir + "/state");
    if (m_asRoot) chownTree(m_dir + "/home", mail.uid, mail.gid);

    std::ostringstream c;
    c << "base_dir = " << m_dir << "/run\n"
      << "state_dir = " << m_dir << "/state\n"
      << "log_path = " << m_dir << "/dovecot.log\n"
      << "instance_name = vesk-test-" << m_plainPort << "\n"
      << "protocols = imap\n"
      << "listen = 127.0.0.1, 127.0.0.2\n"
      << "ssl = yes\n"
      << "ssl_cert = <" << m_certFile << "\n"
      << "ssl_key = <" << m_keyFile << "\n"
      << "ssl_min_protocol = TLSv1.2\n"
      << "disable_plaintext_auth = no\n"
      << "auth_mechanisms = plain login\n"
      << "default_internal_user = " << internal.user << "\n"
      << "default_internal_group = " << internal.group << "\n"
      << "default_login_user = " << login.user << "\n"
      << "first_valid_uid = " << mail.uid << "\n"
      << "last_valid_uid = " << mail.uid << "\n"
      << "first_valid_gid = 0\n"
      << "mail_location = maildir:~/Maildir\n"
      << "mail_uid = " << mail.uid << "\n"
      << "mail_gid = " << mail.gid << "\n"
      << "mail_plugins = \n"
      << "passdb {\n  driver = passwd-file\n  args = scheme=PLAIN username_format=%u " << m_dir << "/passwd\n}\n"
      << "userdb {\n  driver = static\n  args = uid=" << mail.uid << " gid=" << mail.gid << " home=" << m_dir
      << "/home/%u\n}\n"
      << "service imap-login {\n"
      << "  inet_listener imap {\n    address = 127.0.0.1, 127.0.0.2\n    port = " << m_plainPort << "\n  }\n"
      << "  inet_listener imaps {\n    address = 127.0.0.1, 127.0.0.2\n    port = " << m_tlsPort << "\n    ssl = yes\n  }\n";
    if (!m_asRoot) c << "  chroot = \n";
    c << "}\n";
    if (!m_asRoot) {
        c << "service anvil {\n  chroot = \n}\n"
          << "service auth {\n  user = " << internal.user << "\n}\n";
    }
    c << "service stats {\n  unix_listener stats-reader {\n    user = " << internal.user
      << "\n  }\n  unix_listener stats-writer {\n    user = " << internal.user << "\n  }\n}\n";
    if (!m_options.capabilities.empty()) c << "protocol imap {\n  imap_capability = " << m_options.capabilities << "\n}\n";
    writeText(m_config, c.str(), 0644);
}

void DovecotServer::start() {
    pid_t pid = ::fork();
    if (pid < 0) throw std::runtime_error("cannot start the IMAP server");
    if (pid == 0) {
        // A process group of its own, so that kill() reaches every process of the server;
        // and gone with the test process, should that crash before it could stop it.
        ::setpgid(0, 0);
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        std::string out = m_dir + "/dovecot.out";
        int fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        if (fd >= 0) {
            ::dup2(fd, 1);
            ::dup2(fd, 2);
        }
        ::execl(kDovecot, kDovecot, "-F", "-c", m_config.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::setpgid(pid, pid);
    m_pid = pid;
    waitForPorts();
}

void DovecotServer::waitForPorts() {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline) {
        int status = 0;
        if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
            m_pid = -1;
            throw std::runtime_error("the IMAP server stopped at once:\n" + readText(m_dir + "/dovecot.out") + log());
        }
        if (answers(m_plainPort) && answers(m_tlsPort)) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    kill();
    throw std::runtime_error("the IMAP server did not answer within 20 s:\n" + readText(m_dir + "/dovecot.out") + log());
}

void DovecotServer::kill() {
    if (m_pid <= 0) return;
    ::kill(-m_pid, SIGKILL);
    ::kill(m_pid, SIGKILL);
    ::waitpid(m_pid, nullptr, 0);
    m_pid = -1;
    // Children that left the group (none should) die with their master's pipe; the ports
    // must be free before a restart, which waitForPorts' counterpart checks.
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while ((answers(m_plainPort) || answers(m_tlsPort)) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
}

void DovecotServer::stop() {
    if (m_pid <= 0) return;
    ::kill(m_pid, SIGTERM);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
        if (::waitpid(m_pid, nullptr, WNOHANG) == m_pid) {
            ::kill(-m_pid, SIGKILL);  // anything of the group still about
            m_pid = -1;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (m_pid > 0) kill();
}

void DovecotServer::restart() {
    stop();
    start();
}

}  // namespace vesk::store::testing
