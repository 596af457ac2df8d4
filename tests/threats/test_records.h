// Test helpers: an empty search record built the way the search builds one,
// and a byte copy of everything the stone operations may change.
#pragma once

#include <memory>
#include <string>

#include "position/line_codes.h"
#include "position/pattern_tables.h"
#include "threats/stones.h"

namespace kestrix::testing {

inline std::unique_ptr<SearchRecord> emptyRecord(int32_t width, int32_t height) {
  initPatternTables();
  auto record = std::make_unique<SearchRecord>();
  positionInit(record->position, width, height);
  initLineCodes(*record);
  return record;
}

inline std::string snapshot(const SearchRecord& record) {
  return std::string(reinterpret_cast<const char*>(record.threatCells),
                     sizeof(record.threatCells)) +
         std::string(reinterpret_cast<const char*>(record.playerThreats),
                     sizeof(record.playerThreats));
}

}  // namespace kestrix::testing
