#pragma once
// Internal to the store: the header texts it reads without a parser, so
// that a listing of thousands of messages builds none, and the mending of
// encoded words that GMime would decode wrongly. Plain text in, plain text
// out; the decoding of encoded words themselves stays with GMime (mime.cpp).

#include <optional>
#include <string>
#include <string_view>

namespace host::mail::detail {

// ASCII letters compared without regard to case.
bool EqualNoCase(std::string_view a, std::string_view b);

// The unfolded, trimmed value of the first field `name` ("subject:", lower
// case, colon included) of a header block; none when the block has no such
// field before its blank line.
std::optional<std::string> FieldValue(std::string_view header_block, std::string_view name);

// The value of parameter `name` in an unfolded header value, unquoted; none
// when the parameter is absent or comes in its RFC 2231 form (name*=...,
// name*0=...), which GMime reads right.
std::optional<std::string> RawParameter(std::string_view header, std::string_view name);

// GMime joins the payloads of neighbouring encoded words of one charset
// before it decodes them (so that a character split between two words comes
// out whole), but a base64 payload that ends in padding ("...qQ==") ends the
// decoding there: every word after it is lost. Long names are split into
// just such words by most mail programs. So `text` comes back with every
// run of base64 encoded words of one charset, apart only by blanks, made
// into one word; everything else stays as it is.
std::string JoinBase64Runs(std::string_view text);

// What a reader sees of an HTML body: the text between the tags, a line
// break for each block element, the common entities replaced, runs of blank
// lines made one, leading blanks gone.
std::string WithoutMarkup(const std::string& html);

}  // namespace host::mail::detail
