#pragma once
// What the files of Session share: app/session.cpp (running a line and the
// helpers the commands lean on), session_setup.cpp, session_commands.cpp and
// session_show.cpp. Only those files include it.

#include <string>
#include <string_view>

#include "host/mail_link.h"
#include "runtime/error.h"

namespace app {

inline constexpr std::string_view kSettingsKey = "Software\\Quenstor\\Lumivane\\Settings";

// A command used wrongly, or asked of something that is not there.
[[noreturn]] void Fail(const std::string& why);

// How the transcript reports a failed command or action: a command used
// wrongly (error 5) needs no number.
std::string ErrorLine(const runtime::Error& e);

// The word as a whole number; what it is for names it in the failure.
long Number(const std::string& word, const std::string& what);

// What the reader had to guess or skip in the item's message file, for the
// person: a message cut or nested too deeply may hold more attachments than
// it shows. "" for a sound message and for an item without a file.
std::string ReadProblems(const host::MailLink& link, host::Item& item);

}  // namespace app
