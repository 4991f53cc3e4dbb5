// SPDX-License-Identifier: MIT
#include "win/InstanceMutex.h"

#include "win/WideText.h"

InstanceMutex::InstanceMutex(const std::string& folder)
{
    m_mutex = CreateMutexW(nullptr, FALSE, InstanceMutexName(folder).c_str());
    if (m_mutex == nullptr) {
        m_state = State::Unavailable;
    } else if (GetLastError() == ERROR_ALREADY_EXISTS) {
        m_state = State::HeldElsewhere;
    } else {
        m_state = State::Acquired;
    }
}

InstanceMutex::~InstanceMutex()
{
    if (m_mutex != nullptr) {
        CloseHandle(m_mutex);
    }
}

std::wstring InstanceMutexName(const std::string& folder)
{
    std::wstring path = Widen(folder);
    // A backslash separates the namespace from the name: the path's own become slashes.
    for (wchar_t& c : path) {
        if (c == L'\\') {
            c = L'/';
        }
    }
    while (path.size() > 1 && path.back() == L'/') {
        path.pop_back();
    }
    if (!path.empty()) {
        CharUpperBuffW(path.data(), static_cast<DWORD>(path.size()));
    }
    return L"Global\\Sentrybell:" + path;
}

UINT ShowRequestMessage(const std::string& folder)
{
    return RegisterWindowMessageW((InstanceMutexName(folder) + L":show").c_str());
}
