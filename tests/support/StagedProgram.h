#pragma once
// A program of the build copied where another user can run it: the build folder may lie below a
// folder that only its owner may enter (a clone in /root, say), so such a user could not even start
// it there. The copy goes with this object.
#include <string>

namespace testing_support {

class CStagedProgram {
public:
    explicit CStagedProgram(const std::string& program);
    ~CStagedProgram();
    CStagedProgram(const CStagedProgram&) = delete;
    CStagedProgram& operator=(const CStagedProgram&) = delete;

    // The copy; valid when Problem() is empty.
    const std::string& Path() const { return m_path; }
    // Empty when any user can run the copy; otherwise why not (for GTEST_SKIP): the copy could not
    // be made, or a library it loads lies out of other users' reach.
    const std::string& Problem() const { return m_problem; }

private:
    std::string m_folder;
    std::string m_path;
    std::string m_problem;
};

// Empty when a user who is neither owner nor in the group may open path (and enter every folder
// above it, following links); otherwise which folder or file stops them.
std::string WhatKeepsOthersFrom(const std::string& path);

}  // namespace testing_support
