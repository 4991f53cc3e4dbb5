// SPDX-License-Identifier: MIT
#pragma once

#include <iostream>
#include <sstream>
#include <string>

// Collects what is written to std::cerr while it lives.
class CapturedStderr
{
public:
    CapturedStderr() : m_previous(std::cerr.rdbuf(m_buffer.rdbuf())) {}
    ~CapturedStderr() { std::cerr.rdbuf(m_previous); }
    CapturedStderr(const CapturedStderr&) = delete;
    CapturedStderr& operator=(const CapturedStderr&) = delete;

    std::string text() const { return m_buffer.str(); }
    void clear() { m_buffer.str({}); }

private:
    std::ostringstream m_buffer;
    std::streambuf* m_previous;
};
