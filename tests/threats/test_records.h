// Test helpers: an empty search record built the way the search builds one,
// and a byte copy of everything on it that the stone operations may change.
#pragma once

#include <cstring>
#include <memory>
#include <string>

#include "position/pattern_tables.h"
#include "threats/line_codes.h"
#include "threats/stones.h"

namespace kestrix::testing {

inline std::unique_ptr<SearchRecord> emptyRecord(int32_t width, int32_t height) {
  initPatternTables();
  auto record = std::make_unique<SearchRecord>();
  positionInit(record->position, width, height);
  initLineCodes(*record);
  return record;
}

// A byte copy of everything on a record that the stone operations may change.
// Kept and refilled by the caller, so that long runs allocate nothing.
struct Snapshot {
  std::string bytes;

  void take(const SearchRecord& record) {
    bytes.assign(reinterpret_cast<const char*>(record.playerThreats), sizeof(record.playerThreats));
    bytes.append(reinterpret_cast<const char*>(record.nearEmpty), sizeof(record.nearEmpty));
    bytes.append(reinterpret_cast<const char*>(record.lineCode), sizeof(record.lineCode));
    bytes.append(reinterpret_cast<const char*>(record.lineStone), sizeof(record.lineStone));
    bytes.append(reinterpret_cast<const char*>(record.nearStones), sizeof(record.nearStones));
    bytes.append(reinterpret_cast<const char*>(record.threatBoard), sizeof(record.threatBoard));
  }
  bool matches(const SearchRecord& record) const {
    constexpr size_t threats = sizeof(record.playerThreats);
    constexpr size_t near = sizeof(record.nearEmpty);
    constexpr size_t codes = sizeof(record.lineCode);
    constexpr size_t stones = sizeof(record.lineStone);
    constexpr size_t counts = sizeof(record.nearStones);
    const char* at = bytes.data();
    return std::memcmp(at, record.playerThreats, threats) == 0 &&
           std::memcmp(at += threats, record.nearEmpty, near) == 0 &&
           std::memcmp(at += near, record.lineCode, codes) == 0 &&
           std::memcmp(at += codes, record.lineStone, stones) == 0 &&
           std::memcmp(at += stones, record.nearStones, counts) == 0 &&
           std::memcmp(at += counts, record.threatBoard, sizeof(record.threatBoard)) == 0;
  }
};

}  // namespace kestrix::testing
