#pragma once
// The words of one line of the command language, split as a shell splits
// them: blanks separate; '...' keeps everything literally; "..." keeps
// blanks, and a backslash in it escapes " and \; outside quotes a backslash
// escapes the next character; a word that begins with # starts a comment
// that runs to the end of the line.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace app {

struct Words {
  std::vector<std::string> words;
  std::string error;  // not empty when the line cannot be split (an open quote)
};

Words SplitWords(std::string_view line);

// A word as a shell would need it written to give it back: bare when it is
// plain, else in double quotes.
std::string QuoteWord(std::string_view word);

}  // namespace app
