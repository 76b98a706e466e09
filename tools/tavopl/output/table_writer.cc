#include "table_writer.h"

#include <algorithm>

namespace tavo::tool {
namespace {

bool Continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

size_t Characters(const std::string& text) {
  return static_cast<size_t>(std::count_if(text.begin(), text.end(), [](char c) { return !Continuation(c); }));
}

// The text cut to at most `width` characters, the last one "…" when cut.
std::string Fit(const std::string& text, size_t width) {
  if (Characters(text) <= width) return text;
  size_t kept = 0, end = 0;
  while (end < text.size() && kept + 1 < width) {
    ++end;
    while (end < text.size() && Continuation(text[end])) ++end;
    ++kept;
  }
  return text.substr(0, end) + "\xE2\x80\xA6";
}

std::string OneLine(std::string text) {
  for (char& c : text)
    if (c == '\n' || c == '\r' || c == '\t') c = ' ';
  return text;
}

}  // namespace

std::string WriteTable(const std::vector<Column>& columns, const std::vector<Row>& rows) {
  std::vector<std::vector<std::string>> cells;
  std::vector<size_t> widths;
  for (const Column& c : columns) widths.push_back(std::min(Characters(c.title), c.max_width));
  for (const Row& row : rows) {
    std::vector<std::string> fitted;
    for (size_t i = 0; i < columns.size(); ++i) {
      fitted.push_back(Fit(OneLine(i < row.size() ? row[i] : std::string()), columns[i].max_width));
      widths[i] = std::max(widths[i], Characters(fitted.back()));
    }
    cells.push_back(std::move(fitted));
  }
  std::string out;
  auto line = [&](const std::vector<std::string>& values) {
    std::string text;
    for (size_t i = 0; i < columns.size(); ++i) {
      const std::string padding(widths[i] - Characters(values[i]), ' ');
      if (i > 0) text += "  ";
      text += columns[i].right ? padding + values[i] : values[i] + padding;
    }
    while (!text.empty() && text.back() == ' ') text.pop_back();
    out += text + "\n";
  };
  std::vector<std::string> titles, rules;
  for (size_t i = 0; i < columns.size(); ++i) {
    titles.push_back(Fit(columns[i].title, widths[i]));
    rules.push_back(std::string(widths[i], '-'));
  }
  line(titles);
  line(rules);
  for (const auto& row : cells) line(row);
  return out;
}

std::string Duration(long seconds) {
  if (seconds <= 0) return "";
  const long s = seconds % 60;
  return std::to_string(seconds / 60) + (s < 10 ? ":0" : ":") + std::to_string(s);
}

std::string WriteTrackTable(const std::vector<Track>& tracks) {
  const std::vector<Column> columns = {{"#", 5, true},     {"artist", 28}, {"title", 32},        {"album", 28},
                                       {"year", 4, true},  {"genre", 20},  {"length", 7, true}};
  std::vector<Row> rows;
  for (size_t i = 0; i < tracks.size(); ++i) {
    const Track& t = tracks[i];
    rows.push_back({std::to_string(i + 1), t.artist, t.title, t.album, t.year, t.genre, Duration(t.seconds)});
  }
  return WriteTable(columns, rows);
}

std::string WritePlaylistTable(const Playlist& p) {
  std::string head = p.name;
  if (!p.description.empty()) head += ": " + p.description;
  return head + "\n" + WriteTrackTable(p.tracks) + std::to_string(p.tracks.size()) + " tracks\n";
}

}  // namespace tavo::tool
