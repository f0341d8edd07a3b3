#include "platform/shell/environment.h"

#include <algorithm>

#include "runtime/text.h"

namespace platform::shell {

Environment Environment::FromEntries(const char* const* entries) {
  Environment env;
  for (; entries != nullptr && *entries != nullptr; ++entries) {
    const std::string_view entry(*entries);
    const auto eq = entry.find('=');
    // An entry without '=' or with an empty name is not a variable.
    if (eq == std::string_view::npos || eq == 0) continue;
    const std::string_view name = entry.substr(0, eq);
    if (!env.Get(name)) env.Set(name, entry.substr(eq + 1));
  }
  return env;
}

void Environment::Set(std::string_view name, std::string_view value) {
  auto it = std::find_if(vars_.begin(), vars_.end(), [&](const auto& v) { return runtime::TextEqual(v.first, name); });
  if (it != vars_.end()) {
    it->second = std::string(value);
  } else {
    vars_.emplace_back(std::string(name), std::string(value));
  }
}

void Environment::Remove(std::string_view name) {
  std::erase_if(vars_, [&](const auto& v) { return runtime::TextEqual(v.first, name); });
}

std::optional<std::string> Environment::Get(std::string_view name) const {
  auto it = std::find_if(vars_.begin(), vars_.end(), [&](const auto& v) { return runtime::TextEqual(v.first, name); });
  if (it == vars_.end()) return std::nullopt;
  return it->second;
}

Environment& CurrentEnvironment() {
  static Environment current;
  return current;
}

void SetEnvironment(Environment environment) { CurrentEnvironment() = std::move(environment); }

std::string ExpandEnvironmentStrings(std::string_view source) {
  Environment& env = CurrentEnvironment();
  if (const auto nul = source.find('\0'); nul != std::string_view::npos) source = source.substr(0, nul);
  env.expandLog.emplace_back(source);
  if (env.expandFault) throw *env.expandFault;

  std::string out;
  std::size_t pos = 0;
  while (pos < source.size()) {
    const std::size_t open = source.find('%', pos);
    if (open == std::string_view::npos) break;
    const std::size_t close = source.find('%', open + 1);
    if (close == std::string_view::npos) break;
    out.append(source, pos, open - pos);
    const std::string_view name = source.substr(open + 1, close - open - 1);
    const auto value = name.empty() ? std::nullopt : env.Get(name);
    if (value) {
      out += *value;
    } else {
      out.append(source, open, close - open + 1);
    }
    pos = close + 1;
  }
  out.append(source, pos);
  return out;
}

}  // namespace platform::shell
