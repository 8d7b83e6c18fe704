#include <hidapi.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <mutex>

#include "link/HidBackend.h"

namespace VEK {
namespace {

class CHidapiHandle : public IHidHandle {
public:
    CHidapiHandle(hid_device* device, std::string path) : m_device(device), m_path(std::move(path)) {}
    ~CHidapiHandle() override { hid_close(m_device); }

    int Write(const uint8_t* bytes, size_t size) override {
        int n = hid_write(m_device, bytes, size);
        if (n < 0 && access(m_path.c_str(), F_OK) != 0)
            return kDeviceGone;
        return n;
    }
    int Read(uint8_t* buffer, size_t size, int timeoutMs) override {
        return hid_read_timeout(m_device, buffer, size, timeoutMs);
    }

private:
    hid_device* m_device;
    std::string m_path;
};

class CHidapiBackend : public IHidBackend {
public:
    CHidapiBackend() { m_ready = hid_init() == 0; }
    ~CHidapiBackend() override {
        if (m_ready)
            hid_exit();
    }

    std::vector<TDeviceInfo> Enumerate() override {
        std::vector<TDeviceInfo> devices;
        if (!m_ready)
            return devices;
        std::lock_guard<std::mutex> lock(m_enumerateLock);
        hid_device_info* list = hid_enumerate(0, 0);
        for (hid_device_info* info = list; info != nullptr; info = info->next) {
            if (info->path != nullptr)
                devices.push_back({info->path, info->vendor_id, info->product_id});
        }
        hid_free_enumeration(list);
        return devices;
    }

    // hidapi 0.13 has no descriptor call: hidraw exposes it in sysfs.
    std::optional<std::vector<uint8_t>> ReportDescriptor(const std::string& path) override {
        auto slash = path.rfind('/');
        std::string node = slash == std::string::npos ? path : path.substr(slash + 1);
        std::ifstream file("/sys/class/hidraw/" + node + "/device/report_descriptor", std::ios::binary);
        if (!file)
            return std::nullopt;
        std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        if (bytes.empty())
            return std::nullopt;
        return bytes;
    }

    std::unique_ptr<IHidHandle> Open(const std::string& path) override {
        if (!m_ready)
            return nullptr;
        hid_device* device = hid_open_path(path.c_str());
        if (device == nullptr)
            return nullptr;
        return std::make_unique<CHidapiHandle>(device, path);
    }

private:
    bool m_ready = false;
    std::mutex m_enumerateLock;
};

}  // namespace

IHidBackend& HidapiBackend() {
    static CHidapiBackend backend;
    return backend;
}

}  // namespace VEK
