#pragma once
// Exceptions the support library throws on misuse. File commands catch them and
// report a false result; the texts go to the log, never to the operator.
#include <stdexcept>
#include <string>

namespace VEK {

class CVekException : public std::runtime_error {
public:
    explicit CVekException(const std::string& message, int errorCode = 0)
        : std::runtime_error(message), m_errorCode(errorCode) {}
    int ErrorCode() const { return m_errorCode; }

private:
    int m_errorCode;
};

#define VEK_DECLARE_EXCEPTION(Name, Base, Text)                                       \
    class Name : public Base {                                                        \
    public:                                                                           \
        explicit Name(int errorCode = 0) : Base(Text, errorCode) {}                   \
                                                                                      \
    protected:                                                                        \
        Name(const std::string& message, int errorCode) : Base(message, errorCode) {} \
    };

VEK_DECLARE_EXCEPTION(CIndexOutOfBoundsException, CVekException, "INDEXが範囲外です。")
VEK_DECLARE_EXCEPTION(CShortOfDataException, CVekException, "データが足りません。")
VEK_DECLARE_EXCEPTION(CInvalidParamException, CVekException, "パラメータが不正です。")
VEK_DECLARE_EXCEPTION(CNullPointerException, CVekException, "NULLポインタです。")
VEK_DECLARE_EXCEPTION(CNotSupportException, CVekException, "サポートされていません。")
VEK_DECLARE_EXCEPTION(CEmptyException, CVekException, "空です。")

// Input/output failures come in two kinds; catch CIoFailureException for both.
class CIoFailureException : public CVekException {
protected:
    using CVekException::CVekException;
};
VEK_DECLARE_EXCEPTION(CReadFailureException, CIoFailureException, "読み込み失敗です。")
VEK_DECLARE_EXCEPTION(CWriteFailureException, CIoFailureException, "書き込み失敗です。")

#undef VEK_DECLARE_EXCEPTION

}  // namespace VEK
