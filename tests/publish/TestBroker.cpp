#include "TestBroker.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>

#include "support/AppProcess.h"
#include "support/LoopbackPort.h"
#include "support/TestHome.h"

namespace {

bool Accepts(uint16_t port) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    const bool ok = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(fd);
    return ok;
}

std::string FindProgram(const char* name) {
    for (const char* folder : {"/usr/sbin", "/usr/bin", "/usr/local/sbin", "/usr/local/bin"}) {
        const std::string path = std::string(folder) + "/" + name;
        if (access(path.c_str(), X_OK) == 0)
            return path;
    }
    return {};
}

}  // namespace

std::string CTestBroker::Program() {
    return FindProgram("mosquitto");
}

CTestBroker::CTestBroker() : m_port(testing_support::FreeLoopbackPort()) {
    std::string pattern = testing_support::TestHome() + "/broker-XXXXXX";
    m_folder = mkdtemp(pattern.data());
}

CTestBroker::~CTestBroker() {
    Stop();
}

std::string CTestBroker::Url() const {
    return "mqtt://127.0.0.1:" + std::to_string(m_port);
}

bool CTestBroker::Start(const std::string& extraConfig) {
    Stop();
    // Run as root, the broker would change to its own user, who may not read the test's folder.
    const passwd* user = getpwuid(geteuid());
    const std::string config = m_folder + "/mosquitto.conf";
    testing_support::WriteFile(config, "user " + std::string(user != nullptr ? user->pw_name : "root") +
                                           "\npersistence false\nlog_dest stderr\nlog_type all\n"
                                           "listener " +
                                           std::to_string(m_port) + " 127.0.0.1\n" +
                                           (extraConfig.empty() ? "allow_anonymous true\n" : extraConfig));
    m_process = std::make_unique<CAppProcess>(Program(), std::vector<std::string>{"-c", config},
                                              m_folder + "/broker.log");
    return WaitUntil([this] { return Accepts(m_port); }, std::chrono::seconds(5));
}

void CTestBroker::Stop() {
    if (m_process == nullptr)
        return;
    m_process->Signal(SIGTERM);
    m_process->Wait(std::chrono::seconds(5));
    m_process.reset();
}

std::string CTestBroker::PasswordConfig(const std::string& user, const std::string& password) {
    const std::string file = m_folder + "/passwords";
    const std::string command = FindProgram("mosquitto_passwd") +
                                (testing_support::FileExists(file) ? " -b " : " -c -b ") + file + " " + user +
                                " " + password;
    if (std::system(command.c_str()) != 0)
        return {};
    return "allow_anonymous false\npassword_file " + file + "\n";
}

std::string CTestBroker::TlsConfig() {
    const std::string openssl = FindProgram("openssl");
    if (openssl.empty())
        return {};
    const std::string f = m_folder + "/";
    testing_support::WriteFile(f + "server.ext", "subjectAltName=IP:127.0.0.1\n");
    const std::string ec = " -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes ";
    const std::string commands[] = {
        openssl + " req -x509" + ec + "-keyout " + f + "ca.key -out " + f +
            "ca.pem -days 2 -subj /CN=test-ca",
        openssl + " req" + ec + "-keyout " + f + "server.key -out " + f + "server.csr -subj /CN=127.0.0.1",
        openssl + " x509 -req -in " + f + "server.csr -CA " + f + "ca.pem -CAkey " + f +
            "ca.key -CAcreateserial -out " + f + "server.pem -days 2 -extfile " + f + "server.ext",
    };
    for (const std::string& command : commands) {
        if (std::system((command + " >>" + f + "openssl.log 2>&1").c_str()) != 0)
            return {};
    }
    return "allow_anonymous true\ncafile " + f + "ca.pem\ncertfile " + f + "server.pem\nkeyfile " + f +
           "server.key\n";
}
