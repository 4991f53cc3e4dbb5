// SPDX-License-Identifier: MIT
#pragma once

#include <utility>
#include <windows.h>

// Owns a kernel handle (a file, a process) and closes it once.
class UniqueHandle
{
public:
    UniqueHandle() = default;
    explicit UniqueHandle(HANDLE handle) : m_handle(handle == INVALID_HANDLE_VALUE ? nullptr : handle) {}
    UniqueHandle(UniqueHandle&& other) noexcept : m_handle(std::exchange(other.m_handle, nullptr)) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        if (this != &other) {
            reset();
            m_handle = std::exchange(other.m_handle, nullptr);
        }
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { reset(); }

    explicit operator bool() const { return m_handle != nullptr; }
    HANDLE get() const { return m_handle; }
    void reset() { (void)close(); }
    // Closes now and says whether the close succeeded, so that a failed final write is seen.
    bool close() { return m_handle == nullptr || CloseHandle(std::exchange(m_handle, nullptr)) != FALSE; }

private:
    HANDLE m_handle = nullptr;
};
