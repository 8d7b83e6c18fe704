#pragma once
// A channel played by the test: bytes fed by the test (or by a responder reacting to what was
// sent) come out of Receive; Unplug makes the channel vanish.
#include <deque>
#include <functional>
#include <mutex>
#include <vector>

#include "link/ICommunication.h"

namespace link_test {

class CScriptedDevice : public VEK::ICommunication {
public:
    using TResponder = std::function<std::vector<std::vector<uint8_t>>(const std::vector<uint8_t>& sent)>;

    void Feed(std::vector<uint8_t> chunk) {
        std::lock_guard<std::mutex> lock(m_lock);
        m_chunks.push_back(std::move(chunk));
    }
    void SetResponder(TResponder responder) {
        std::lock_guard<std::mutex> lock(m_lock);
        m_responder = std::move(responder);
    }
    void SetRefuseSends(bool refuse) {
        std::lock_guard<std::mutex> lock(m_lock);
        m_refuse = refuse;
    }
    void Unplug() {
        std::lock_guard<std::mutex> lock(m_lock);
        m_plugged = false;
    }
    std::vector<std::vector<uint8_t>> Sent() {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_sent;
    }

    VEK::TCommProperty QueryProperties() const override { return {"Scripted", 0x7F000001, 0, -1, -1}; }
    bool SetReceiveWait(uint32_t) override { return false; }
    bool Open() override {
        std::lock_guard<std::mutex> lock(m_lock);
        m_open = m_plugged;
        return m_open;
    }
    void Close() override {
        std::lock_guard<std::mutex> lock(m_lock);
        m_open = false;
    }
    bool IsOpen() const override {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_open;
    }
    int LinkState() const override {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_open && m_plugged ? kConnected : kClosed;
    }
    int Send(size_t size, const uint8_t* bytes) override {
        std::lock_guard<std::mutex> lock(m_lock);
        if (!m_open || m_refuse)
            return -1;
        m_sent.emplace_back(bytes, bytes + size);
        if (m_responder) {
            for (auto& chunk : m_responder(m_sent.back())) m_chunks.push_back(std::move(chunk));
        }
        return static_cast<int>(size);
    }
    int Receive(size_t maxSize, uint8_t* buffer) override {
        std::lock_guard<std::mutex> lock(m_lock);
        if (!m_open)
            return -1;
        if (m_chunks.empty())
            return 0;
        auto& chunk = m_chunks.front();
        size_t n = std::min(maxSize, chunk.size());
        std::copy(chunk.begin(), chunk.begin() + static_cast<long>(n), buffer);
        chunk.erase(chunk.begin(), chunk.begin() + static_cast<long>(n));
        if (chunk.empty())
            m_chunks.pop_front();
        return static_cast<int>(n);
    }

private:
    mutable std::mutex m_lock;
    std::deque<std::vector<uint8_t>> m_chunks;
    std::vector<std::vector<uint8_t>> m_sent;
    TResponder m_responder;
    bool m_open = false;
    bool m_plugged = true;
    bool m_refuse = false;
};

}  // namespace link_test
