#pragma once
#include <QEvent>
#include <cstdint>

// The controller's own messages, posted to it from any thread and handled on the window thread in
// the order they were posted. The numbers are the application's message numbers.
enum EAppMessage : uint32_t {
    kMessageConnectionEvent = 0x8000,  // word: report event kind (4 connect, 5 disconnect)
    kMessageSamplesStored = 0x8001,    // word: channel | samples << 16; long: first record index
    kMessageSamplingTick = 0x8002,
    kMessageChannelLost = 0x8003,  // word: channel
    kMessageResendPollingSetting = 0x8004,
};

class CAppMessageEvent : public QEvent {
public:
    CAppMessageEvent(uint32_t message, uint32_t word, uint32_t lparam)
        : QEvent(EventType()), m_message(message), m_word(word), m_long(lparam) {}

    static QEvent::Type EventType() {
        static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
        return type;
    }

    uint32_t Message() const { return m_message; }
    uint32_t Word() const { return m_word; }
    uint32_t Long() const { return m_long; }

private:
    uint32_t m_message;
    uint32_t m_word;
    uint32_t m_long;
};
