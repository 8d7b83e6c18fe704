#include "publish/MqttConnection.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "files/Settings.h"
#include "publish/MqttTopics.h"

namespace {

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

}  // namespace

bool TMqttConnection::Resolve(const TMqttSettings& settings, TMqttConnection& connection,
                              std::string& error) {
    TMqttConnection resolved;
    if (!TMqttEndpoint::Parse(settings.url, resolved.endpoint, error))
        return false;
    std::string reason;
    if (!CMqttTopics::IsValidPrefix(settings.prefix, reason)) {
        error = "MQTT: " + reason;
        return false;
    }
    resolved.prefix = settings.prefix;
    resolved.user = settings.user;
    if (!settings.passwordFile.empty()) {
        if (settings.user.empty()) {
            error = "MQTT: mqtt-password-file needs mqtt-user";
            return false;
        }
        if (!ReadPasswordFile(VEK::ResolveStoredFolder(settings.passwordFile), resolved.password, error))
            return false;
    }
    if (!settings.caFile.empty())
        resolved.caFile = VEK::ResolveStoredFolder(settings.caFile);
    connection = resolved;
    return true;
}

bool TMqttConnection::ReadPasswordFile(const std::string& path, std::string& password, std::string& error) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat info {};
    if (fd < 0 || fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        const int code = fd < 0 ? errno : EINVAL;
        if (fd >= 0)
            close(fd);
        error = "MQTT password file " + Quoted(path) + " cannot be read: " + std::strerror(code);
        return false;
    }
    if ((info.st_mode & (S_IRGRP | S_IROTH)) != 0) {
        close(fd);
        char mode[8];
        std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(info.st_mode & 07777));
        error = "MQTT password file " + Quoted(path) + " is readable by group or others (mode " + mode +
                "); allow only its owner to read it (chmod 600)";
        return false;
    }
    std::string text;
    char buffer[512];
    ssize_t n = 0;
    while (text.size() < 65536 && (n = read(fd, buffer, sizeof buffer)) > 0) text.append(buffer, n);
    close(fd);
    text = text.substr(0, text.find_first_of("\r\n"));
    if (n < 0 || text.empty()) {
        error = "MQTT password file " + Quoted(path) + " holds no password on its first line";
        return false;
    }
    password = text;
    return true;
}

std::string TMqttConnection::ClientId(const std::string& program, uint32_t systemNumber) {
    char host[256] = {};
    if (gethostname(host, sizeof host - 1) != 0 || host[0] == '\0')
        std::snprintf(host, sizeof host, "localhost");
    return program + "@" + host + "/" + std::to_string(systemNumber);
}
