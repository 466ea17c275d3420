#pragma once

#include <cstddef>

// The Mandarin readings of each Han character (made at build time from the
// Unihan readings), sorted by code point: "hang xing heng" for 行, the
// common reading first.
namespace PinyinTable {

struct Entry
{
    char32_t character;
    const char *readings;
};

extern const Entry kEntries[];
extern const std::size_t kCount;

} // namespace PinyinTable
