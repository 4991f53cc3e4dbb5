// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>

// Small direct system calls for the tests' own arrangements and checks, independent of the adapters.
bool MakeFolder(const std::string& path);
bool SetAttributes(const std::string& path, unsigned long attributes);
unsigned long AttributesOf(const std::string& path);
bool WriteWholeFile(const std::string& path, const std::string& bytes);
std::optional<std::string> ReadWholeFile(const std::string& path);
// The entries of a folder, without "." and "..".
std::size_t EntryCount(const std::string& folder);
