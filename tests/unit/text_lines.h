// Splits a file's text into its lines, CR LF or LF ends removed.
#pragma once

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
