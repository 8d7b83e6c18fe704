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

std::string ModeText(mode_t mode) {
    char text[8];
    std::snprintf(text, sizeof text, "%04o", static_cast<unsigned>(mode & 07777));
    return text;
}

// Opens a file the settings name: never waiting on a FIFO (the open and every read would block
// the caller for good) and only a regular file. -1 with the message otherwise.
int OpenRegular(const std::string& what, const std::string& path, struct stat& info, std::string& error) {
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0 || fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        const int code = fd < 0 ? errno : EINVAL;
        if (fd >= 0)
            close(fd);
        error = what + " " + Quoted(path) + " cannot be read: " +
                (code == EINVAL ? std::string("it is not a regular file") : std::strerror(code));
        return -1;
    }
    return fd;
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
    if (!settings.caFile.empty()) {
        resolved.caFile = VEK::ResolveStoredFolder(settings.caFile);
        // The TLS library would open it on the publisher's thread and wait there on a FIFO.
        struct stat info {};
        const int fd = OpenRegular("MQTT CA file", resolved.caFile, info, error);
        if (fd < 0)
            return false;
        close(fd);
    }
    connection = resolved;
    return true;
}

bool TMqttConnection::ReadPasswordFile(const std::string& path, std::string& password, std::string& error) {
    struct stat info {};
    const int fd = OpenRegular("MQTT password file", path, info, error);
    if (fd < 0)
        return false;
    // Whoever else could write it could give this user's broker identity a password of theirs.
    std::string problem;
    if (info.st_uid != geteuid())
        problem =
            " belongs to another user (uid " + std::to_string(info.st_uid) + "); use a file of your own";
    else if ((info.st_mode & (S_IRGRP | S_IROTH)) != 0)
        problem = " is readable by group or others (mode " + ModeText(info.st_mode) +
                  "); allow only its owner to read it (chmod 600)";
    else if ((info.st_mode & (S_IWGRP | S_IWOTH)) != 0)
        problem = " is writable by group or others (mode " + ModeText(info.st_mode) +
                  "); allow only its owner to write it (chmod 600)";
    if (!problem.empty()) {
        close(fd);
        error = "MQTT password file " + Quoted(path) + problem;
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
