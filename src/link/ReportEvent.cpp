#include "link/ReportEvent.h"

namespace VEK {

std::string CReportEvent::KindText() const {
    switch (kind) {
        case kNone:
            return "なし";
        case kIdle:
            return "アイドル";
        case kEnd:
            return "終了";
        case kError:
            return "エラー[" + std::to_string(static_cast<unsigned>(errorCode)) + "]";
        case kConnect:
            return "接続";
        case kDisconnect:
            return "切断";
        case kForcedEnd:
            return "強制終了";
    }
    return "";
}

}  // namespace VEK
