#pragma once
// A mosquitto broker of the test's own on a free loopback port, with its configuration in a temporary
// folder; tests skip when the broker program is not installed.
#include <cstdint>
#include <memory>
#include <string>

class CAppProcess;

class CTestBroker {
public:
    // The broker program, or empty when mosquitto is not installed.
    static std::string Program();
    // A loopback port nobody listens on right now.

    CTestBroker();
    ~CTestBroker();

    // Starts on Port() with the given configuration lines added (listener and files are set here) and
    // waits until it accepts connections. False when it did not come up within a few seconds.
    bool Start(const std::string& extraConfig = "");
    void Stop();
    uint16_t Port() const { return m_port; }
    std::string Url() const;
    // The temporary folder of its configuration, log and any files a test adds.
    const std::string& Folder() const { return m_folder; }
    // Adds a user to a password file of the broker's format in Folder() (mosquitto_passwd) and gives
    // the configuration line that uses it.
    std::string PasswordConfig(const std::string& user, const std::string& password);
    // Makes a certificate authority and a server certificate for 127.0.0.1 in Folder() (openssl) and
    // gives the configuration lines of a TLS listener; empty when openssl is missing or fails.
    std::string TlsConfig();
    std::string CaFile() const { return m_folder + "/ca.pem"; }

private:
    std::string m_folder;
    uint16_t m_port;
    std::unique_ptr<CAppProcess> m_process;
};
