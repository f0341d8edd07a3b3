#include "app/words.h"

namespace app {

Words SplitWords(std::string_view line) {
  Words out;
  std::string current;
  bool inWord = false;
  std::size_t i = 0;
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (i < line.size()) {
    const char c = line[i];
    if (blank(c)) {
      if (inWord) out.words.push_back(std::move(current));
      current.clear();
      inWord = false;
      ++i;
    } else if (c == '#' && !inWord) {
      break;
    } else if (c == '\'') {
      const std::size_t close = line.find('\'', i + 1);
      if (close == std::string_view::npos) {
        out.error = "a quote (') is not closed";
        return out;
      }
      current.append(line.substr(i + 1, close - i - 1));
      inWord = true;
      i = close + 1;
    } else if (c == '"') {
      ++i;
      bool closed = false;
      while (i < line.size()) {
        const char d = line[i];
        if (d == '"') {
          closed = true;
          ++i;
          break;
        }
        if (d == '\\' && i + 1 < line.size() && (line[i + 1] == '"' || line[i + 1] == '\\')) {
          current += line[i + 1];
          i += 2;
          continue;
        }
        current += d;
        ++i;
      }
      if (!closed) {
        out.error = "a quote (\") is not closed";
        return out;
      }
      inWord = true;
    } else if (c == '\\' && i + 1 < line.size()) {
      current += line[i + 1];
      inWord = true;
      i += 2;
    } else {
      current += c;
      inWord = true;
      ++i;
    }
  }
  if (inWord) out.words.push_back(std::move(current));
  return out;
}

std::string QuoteWord(std::string_view word) {
  const bool plain = !word.empty() && word.find_first_of(" \t\r\n'\"\\#$`;&|<>()*?") == std::string_view::npos;
  if (plain) return std::string(word);
  std::string out = "\"";
  for (char c : word) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

}  // namespace app
