#include "support/TextCodec.h"

#include <iconv.h>

#include <cerrno>

namespace VEK {

bool IsValidUtf8(std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = p + bytes.size();
    while (p < end) {
        unsigned char c = *p;
        size_t extra;
        uint32_t min;
        if (c < 0x80) {
            ++p;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            extra = 1;
            min = 0x80;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2;
            min = 0x800;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3;
            min = 0x10000;
        } else {
            return false;
        }
        if (static_cast<size_t>(end - p) <= extra)
            return false;
        uint32_t cp = c & (0x3F >> extra);
        for (size_t i = 1; i <= extra; ++i) {
            if ((p[i] & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (p[i] & 0x3F);
        }
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        p += extra + 1;
    }
    return true;
}

std::string Cp932ToUtf8(std::string_view bytes) {
    iconv_t cd = iconv_open("UTF-8", "CP932");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return std::string(bytes);
    std::string out;
    out.resize(bytes.size() * 3 + 16);
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    char* dst = out.data();
    size_t outLeft = out.size();
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &dst, &outLeft) != static_cast<size_t>(-1))
            break;
        if (errno == E2BIG)
            break;  // cannot happen with 3 bytes out per byte in
        // An invalid or truncated sequence: skip one byte and mark it.
        ++in;
        --inLeft;
        if (outLeft >= 3) {
            *dst++ = '\xEF';
            *dst++ = '\xBF';
            *dst++ = '\xBD';
            outLeft -= 3;
        }
    }
    iconv_close(cd);
    out.resize(out.size() - outLeft);
    return out;
}

bool IsCp932Text(std::string_view bytes) {
    if (!IsValidUtf8(bytes))
        return true;
    const auto isKana = [](unsigned char c) { return c >= 0xA1 && c <= 0xDF; };
    bool outsideAscii = false;
    for (size_t i = 0; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80)
            continue;
        // Valid UTF-8: a lead byte here has its trail bytes after it.
        if (!isKana(c) || i + 1 >= bytes.size() || !isKana(static_cast<unsigned char>(bytes[i + 1])))
            return false;
        outsideAscii = true;
        ++i;
    }
    return outsideAscii;
}

std::string DecodeTextBytes(std::string_view bytes) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        bytes.remove_prefix(3);
        return IsValidUtf8(bytes) ? std::string(bytes) : Cp932ToUtf8(bytes);
    }
    return IsCp932Text(bytes) ? Cp932ToUtf8(bytes) : std::string(bytes);
}

}  // namespace VEK
