#pragma once

namespace VEK {

// Base of objects that own handles, threads or transports: they are never copied or moved.
class CCopyImpossible {
public:
    CCopyImpossible(const CCopyImpossible&) = delete;
    CCopyImpossible& operator=(const CCopyImpossible&) = delete;

protected:
    CCopyImpossible() = default;
    ~CCopyImpossible() = default;
};

}  // namespace VEK
