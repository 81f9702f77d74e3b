# Writes OUTPUT, a C header listing the block entries exactly as
# src/hosts/block_list.cpp has them, so that the yardstick never carries a
# copy of its own that could drift from the engine's.
#   cmake -DSOURCE=.../block_list.cpp -DCOUNT_HEADER=.../block_list.h -DOUTPUT=... -P block_entries.cmake
file(READ "${SOURCE}" text)
string(FIND "${text}" "kEntries = {" begin)
if(begin LESS 0)
  message(FATAL_ERROR "${SOURCE}: no kEntries list")
endif()
string(SUBSTRING "${text}" ${begin} -1 text)
string(FIND "${text}" "};" end)
string(SUBSTRING "${text}" 0 ${end} text)
# One quoted string per entry; the comments inside the list hold none.
string(REGEX MATCHALL "\"[^\"\n]*\"" entries "${text}")
list(LENGTH entries count)

file(READ "${COUNT_HEADER}" header)
string(REGEX MATCH "kBlockEntryCount = ([0-9]+)" ignored "${header}")
if(NOT CMAKE_MATCH_1 EQUAL count)
  message(FATAL_ERROR "${SOURCE}: ${count} entries read, kBlockEntryCount is '${CMAKE_MATCH_1}'")
endif()

set(body "/* Generated from src/hosts/block_list.cpp by bench/block_entries.cmake. */\n")
string(APPEND body "#define BLOCK_ENTRY_COUNT ${count}\n")
string(APPEND body "static const char* const kBlockEntries[BLOCK_ENTRY_COUNT] = {\n")
foreach(entry IN LISTS entries)
  string(APPEND body "    ${entry},\n")
endforeach()
string(APPEND body "};\n")
# Rewritten only when it changes, so that nothing rebuilds for nothing.
file(CONFIGURE OUTPUT "${OUTPUT}" CONTENT "${body}" @ONLY)
