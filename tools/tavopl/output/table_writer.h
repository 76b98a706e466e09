// Plain-text tables for a terminal: a header row, a rule of dashes and the
// rows, columns padded to their widest cell counted in characters (UTF-8
// code points), cells longer than the column's limit cut with "…".
// Numeric columns are right-aligned.
#ifndef TAVO_TOOLS_TAVOPL_OUTPUT_TABLE_WRITER_H_
#define TAVO_TOOLS_TAVOPL_OUTPUT_TABLE_WRITER_H_

#include <string>
#include <vector>

#include "track.h"

namespace tavo::tool {

struct Column {
  std::string title;
  size_t max_width = 40;
  bool right = false;  // right-aligned (numbers)
};

using Row = std::vector<std::string>;

// Rows with fewer cells than columns are padded with empty cells.
std::string WriteTable(const std::vector<Column>& columns, const std::vector<Row>& rows);

// The table of a playlist or listing: #, artist, title, album, year, genre, length.
std::string WriteTrackTable(const std::vector<Track>& tracks);

// A playlist: its name and description, the track table and the count.
std::string WritePlaylistTable(const Playlist& playlist);

// "m:ss", or "" when unknown.
std::string Duration(long seconds);

}  // namespace tavo::tool

#endif  // TAVO_TOOLS_TAVOPL_OUTPUT_TABLE_WRITER_H_
