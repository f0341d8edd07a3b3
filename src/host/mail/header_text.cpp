// The header texts the store reads without GMime: fields of a header block,
// parameters of a header value, runs of base64 encoded words, HTML bodies
// as text. Only glib's ASCII and base64 helpers are used.

#include "host/mail/header_text.h"

#include <glib.h>

#include <algorithm>
#include <vector>

#include "host/mail/glib_text.h"

namespace host::mail::detail {

bool EqualNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](char x, char y) { return g_ascii_tolower(x) == g_ascii_tolower(y); });
}

std::optional<std::string> FieldValue(std::string_view header_block, std::string_view name) {
  std::string raw;
  bool found = false;
  for (std::size_t p = 0; p < header_block.size();) {
    std::size_t end = header_block.find('\n', p);
    end = end == std::string_view::npos ? header_block.size() : end + 1;
    const std::string_view line = header_block.substr(p, end - p);
    if (line == "\n" || line == "\r\n") break;
    if (found) {
      if (line.front() != ' ' && line.front() != '\t') break;
      raw += line;
    } else if (line.size() >= name.size() && std::equal(name.begin(), name.end(), line.begin(),
                                                        [](char a, char b) { return a == g_ascii_tolower(b); })) {
      found = true;
      raw = line.substr(name.size());
    }
    p = end;
  }
  if (!found) return std::nullopt;
  std::string unfolded;
  for (char c : raw)
    if (c != '\r' && c != '\n') unfolded += c;
  const std::size_t first = unfolded.find_first_not_of(" \t");
  if (first == std::string::npos) return std::string();
  unfolded = unfolded.substr(first);
  while (!unfolded.empty() && (unfolded.back() == ' ' || unfolded.back() == '\t')) unfolded.pop_back();
  return unfolded;
}

std::optional<std::string> RawParameter(std::string_view header, std::string_view name) {
  std::size_t pos = header.find(';');
  while (pos != std::string_view::npos && pos < header.size()) {
    ++pos;  // past ';'
    const std::size_t equals = header.find_first_of("=;", pos);
    if (equals == std::string_view::npos || header[equals] == ';') {
      pos = equals;
      continue;
    }
    std::string_view key = header.substr(pos, equals - pos);
    while (!key.empty() && (key.front() == ' ' || key.front() == '\t')) key.remove_prefix(1);
    while (!key.empty() && (key.back() == ' ' || key.back() == '\t')) key.remove_suffix(1);
    std::size_t at = equals + 1;
    while (at < header.size() && (header[at] == ' ' || header[at] == '\t')) ++at;
    std::string value;
    if (at < header.size() && header[at] == '"') {
      for (++at; at < header.size() && header[at] != '"'; ++at) {
        if (header[at] == '\\' && at + 1 < header.size()) ++at;
        value += header[at];
      }
      pos = header.find(';', at);
    } else {
      const std::size_t end = header.find(';', at);
      value = header.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at);
      while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) value.pop_back();
      pos = end;
    }
    if (key.size() > name.size() && key[name.size()] == '*' && EqualNoCase(key.substr(0, name.size()), name))
      return std::nullopt;
    if (EqualNoCase(key, name)) return value;
  }
  return std::nullopt;
}

std::string JoinBase64Runs(std::string_view text) {
  struct Word {
    std::size_t begin, end;
    std::string charset;
    bool base64;
    std::string payload;
  };
  std::vector<Word> words;
  for (std::size_t at = text.find("=?"); at != std::string_view::npos; at = text.find("=?", at)) {
    const std::size_t q1 = text.find('?', at + 2);
    if (q1 == std::string_view::npos || q1 + 2 >= text.size() || text[q1 + 2] != '?') break;
    const std::size_t close = text.find("?=", q1 + 3);
    if (close == std::string_view::npos) break;
    const char encoding = g_ascii_toupper(text[q1 + 1]);
    words.push_back({at, close + 2, std::string(text.substr(at + 2, q1 - at - 2)), encoding == 'B',
                     std::string(text.substr(q1 + 3, close - q1 - 3))});
    at = close + 2;
  }
  std::string joined;
  std::size_t copied = 0;
  for (std::size_t i = 0; i < words.size();) {
    std::size_t last = i;
    while (last + 1 < words.size() && words[i].base64 && words[last + 1].base64 &&
           EqualNoCase(words[last + 1].charset, words[i].charset) &&
           text.substr(words[last].end, words[last + 1].begin - words[last].end).find_first_not_of(" \t\r\n") ==
               std::string_view::npos)
      ++last;
    joined.append(text.substr(copied, words[i].begin - copied));
    if (last == i) {
      joined.append(text.substr(words[i].begin, words[i].end - words[i].begin));
    } else {
      std::string bytes;
      for (std::size_t k = i; k <= last; ++k) {
        gsize length = 0;
        GText decoded(reinterpret_cast<char*>(g_base64_decode(words[k].payload.c_str(), &length)));
        if (decoded) bytes.append(decoded.get(), length);
      }
      GText encoded(g_base64_encode(reinterpret_cast<const guchar*>(bytes.data()), bytes.size()));
      joined += "=?" + words[i].charset + "?B?" + encoded.get() + "?=";
    }
    copied = words[last].end;
    i = last + 1;
  }
  joined.append(text.substr(copied));
  return joined;
}

std::string WithoutMarkup(const std::string& html) {
  std::string out;
  bool in_tag = false;
  std::string tag;
  for (char c : html) {
    if (in_tag) {
      if (c == '>') {
        in_tag = false;
        std::string name;
        for (char t : tag) {
          if (t == ' ' || t == '/') {
            if (!name.empty()) break;
            continue;
          }
          name += static_cast<char>(g_ascii_tolower(t));
        }
        if (name == "br" || name == "p" || name == "div" || name == "tr" || name == "li" || name == "h1" ||
            name == "h2" || name == "h3")
          out += '\n';
      } else {
        tag += c;
      }
    } else if (c == '<') {
      in_tag = true;
      tag.clear();
    } else if (c != '\r') {
      out += c;
    }
  }
  for (const auto& [entity, text] : {std::pair<std::string, std::string>{"&nbsp;", " "},
                                     {"&lt;", "<"},
                                     {"&gt;", ">"},
                                     {"&quot;", "\""},
                                     {"&#39;", "'"},
                                     {"&amp;", "&"}}) {
    for (std::size_t p = 0; (p = out.find(entity, p)) != std::string::npos; p += text.size())
      out.replace(p, entity.size(), text);
  }
  // Runs of blank lines become one.
  std::string tidy;
  int breaks = 0;
  for (char c : out) {
    breaks = c == '\n' ? breaks + 1 : (c == ' ' || c == '\t' ? breaks : 0);
    if (breaks <= 2) tidy += c;
  }
  const std::size_t first = tidy.find_first_not_of(" \t\n");
  return first == std::string::npos ? std::string() : tidy.substr(first);
}

}  // namespace host::mail::detail
