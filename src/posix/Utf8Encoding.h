// SPDX-License-Identifier: MIT
#pragma once

#include "common/TextEncoding.h"

// On Linux the "ANSI code page" is UTF-8: conversion only repairs invalid bytes, and byte limits cut
// at character boundaries.
class Utf8Encoding : public TextEncoding
{
public:
    std::string toPlatform(std::string_view utf8) const override;
    std::string fromPlatform(std::string_view bytes) const override;
    std::string cutToBytes(std::string_view utf8, std::size_t maxBytes) const override;
    std::string_view lineEnd() const override { return "\n"; }
};
