#include "support/ErrorText.h"

#include <cstring>

namespace VEK {

std::string ErrorText(int error) {
    if (error == 0)
        return "unknown error";
    char buffer[128];
    return strerror_r(error, buffer, sizeof buffer);  // the GNU form: returns the text
}

}  // namespace VEK
