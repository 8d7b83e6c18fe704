#pragma once
#include <array>
#include <bit>
#include <cstring>
#include <type_traits>

#include "protocol/AbstractPacket.h"
#include "protocol/FrameResult.h"

namespace QNL {

// A packet of one fixed command code whose data are the byte image of the packed record T.
// Each record type supplies, next to its definition (found by argument-dependent lookup):
//   std::vector<std::string> DescribeRecord(const T&);     lines after the name
//   std::vector<std::string> RecordParamTexts(const T&);   editable value strings
//   bool ParseRecordTexts(const std::vector<std::string>&, T&);  false: too few values or not editable
template <class T>
class CAbstractParamPacketT : public CAbstractPacket {
    static_assert(std::is_trivially_copyable_v<T> && alignof(T) == 1, "a packed record of single bytes");

public:
    // The name, then the record's description lines.
    std::vector<std::string> DescribeLines() const override {
        std::vector<std::string> lines = CAbstractPacket::DescribeLines();
        for (std::string& line : DescribeRecord(m_param)) lines.push_back(std::move(line));
        return lines;
    }
    // Exactly the record's size, copied into the record.
    int SetPayload(size_t size, const uint8_t* bytes) override {
        if (size != sizeof(T))
            return kFrameDataLength;
        std::memcpy(&m_param, bytes, sizeof(T));
        SetData(bytes, size);
        return 0;
    }
    std::vector<std::string> ParamTexts() const override { return RecordParamTexts(m_param); }
    bool SetParamTexts(const std::vector<std::string>& texts) override {
        T record = m_param;
        if (!ParseRecordTexts(texts, record))
            return false;
        SetRecord(record);
        return true;
    }
    // Takes the record and makes its image the data.
    virtual void SetRecord(const T& record) {
        m_param = record;
        SetImage(sizeof(T));
    }

    const T& Param() const { return m_param; }

protected:
    CAbstractParamPacketT(uint8_t command, std::string name)
        : CAbstractPacket(command, std::move(name)), m_param(ZeroRecord()) {
        SetImage(sizeof(T));
    }

    // All bytes zero (also for records whose members have other defaults).
    static T ZeroRecord() { return std::bit_cast<T>(std::array<uint8_t, sizeof(T)>{}); }
    // The data become the first size bytes of the record's image.
    void SetImage(size_t size) { SetData(reinterpret_cast<const uint8_t*>(&m_param), size); }

    T m_param;
};

}  // namespace QNL
