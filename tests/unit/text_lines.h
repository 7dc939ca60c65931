// Splits a file's text into its lines, CR LF or LF ends removed, and the
// two questions tests ask of texts and lines.
#pragma once

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

inline std::vector<std::string> TextLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

// Whether text holds part anywhere.
inline bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// How many of the lines are exactly line.
inline int Count(const std::vector<std::string>& lines, const std::string& line) {
  return static_cast<int>(std::count(lines.begin(), lines.end(), line));
}

// Whether one of the lines is exactly line.
inline bool Contains(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}
