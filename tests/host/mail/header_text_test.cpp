// The header texts the store reads without a parser: exact outputs for each
// way a field, a parameter, a run of encoded words or an HTML body can come.

#include "host/mail/header_text.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

using host::mail::detail::EqualNoCase;
using host::mail::detail::FieldValue;
using host::mail::detail::JoinBase64Runs;
using host::mail::detail::RawParameter;
using host::mail::detail::WithoutMarkup;

TEST(HeaderText, FieldValueIsUnfoldedAndTrimmed) {
  const struct Row {
    const char* name;
    std::string block;
    const char* field;
    std::optional<std::string> want;
  } rows[] = {
      {"plain", "From: a\nSubject: Hello\n", "subject:", "Hello"},
      {"name in capitals, CRLF", "SUBJECT:   Hello  \r\nFrom: a\r\n", "subject:", "Hello"},
      {"folded", "Subject: one\n two\n\tthree\nFrom: a\n", "subject:", "one two\tthree"},
      {"no line break at the end", "Subject: last", "subject:", "last"},
      {"present but empty", "Subject:  \nFrom: a\n", "subject:", ""},
      {"the first of two", "To: a\nTo: b\n", "to:", "a"},
      {"none", "From: a\nX-Subject: not this\n", "subject:", std::nullopt},
      {"only in the body", "From: a\n\nSubject: not this\n", "subject:", std::nullopt},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(FieldValue(row.block, row.field), row.want);
  }
}

TEST(HeaderText, RawParameterLeavesTheExtendedFormToGMime) {
  const struct Row {
    const char* name;
    std::string header;
    const char* parameter;
    std::optional<std::string> want;
  } rows[] = {
      {"quoted", "attachment; filename=\"a b.jpg\"", "filename", "a b.jpg"},
      {"token, blanks around it", "image/jpeg; name = photo.jpg ; x=1", "name", "photo.jpg"},
      {"key in other case", "attachment; FileName=x.jpg", "filename", "x.jpg"},
      {"escaped quote", "attachment; filename=\"a\\\"b.jpg\"", "filename", "a\"b.jpg"},
      {"semicolon inside quotes", "attachment; filename=\"a;b.jpg\"; size=3", "filename", "a;b.jpg"},
      {"a longer key that ends in the name", "image/png; filename=a.png; name=b.png", "name", "b.png"},
      {"a parameter without a value before it", "attachment; broken; filename=x.jpg", "filename", "x.jpg"},
      {"encoded words kept as they are", "image/jpeg; name=\"=?UTF-8?B?w6k=?=.jpg\"", "name", "=?UTF-8?B?w6k=?=.jpg"},
      {"RFC 2231 form", "attachment; filename*=UTF-8''%E2%80%AEgpj.exe", "filename", std::nullopt},
      {"RFC 2231 continuation", "attachment; filename*0*=UTF-8''..%2F..%2F; filename*1=up.jpg", "filename",
       std::nullopt},
      {"absent", "attachment", "filename", std::nullopt},
      {"no parameters, only the name", "filename=x.jpg", "filename", std::nullopt},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(RawParameter(row.header, row.parameter), row.want);
  }
}

TEST(HeaderText, JoinBase64RunsMakesOneWordOfEachRun) {
  const struct Row {
    const char* name;
    std::string text;
    std::string want;
  } rows[] = {
      {"base64 words of one charset, each ending in padding",
       "=?UTF-8?B?w6nDqQ==?=\n =?utf-8?b?w6nDqQ==?= =?UTF-8?B?w6k=?=", "=?UTF-8?B?w6nDqcOpw6nDqQ==?="},
      {"plain words around keep their blanks", "Re: =?UTF-8?B?w6k=?= =?UTF-8?B?w6k=?= ok",
       "Re: =?UTF-8?B?w6nDqQ==?= ok"},
      {"Q words stay", "=?UTF-8?Q?caf=C3?= =?UTF-8?Q?=A9?=", "=?UTF-8?Q?caf=C3?= =?UTF-8?Q?=A9?="},
      {"charsets differ", "=?ISO-8859-1?B?6ek=?= =?UTF-8?B?w6nDqQ==?=", "=?ISO-8859-1?B?6ek=?= =?UTF-8?B?w6nDqQ==?="},
      {"a word between breaks the run", "=?UTF-8?B?w6k=?= x =?UTF-8?B?w6k=?=", "=?UTF-8?B?w6k=?= x =?UTF-8?B?w6k=?="},
      {"a lone word", "a =?UTF-8?B?w6k=?= b", "a =?UTF-8?B?w6k=?= b"},
      {"an unfinished word", "=?UTF-8?B?w6k=?= =?UTF-8?B?w6k", "=?UTF-8?B?w6k=?= =?UTF-8?B?w6k"},
      {"no encoded words", "hello", "hello"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(JoinBase64Runs(row.text), row.want);
  }
}

TEST(HeaderText, WithoutMarkupKeepsWhatAReaderSees) {
  const struct Row {
    const char* name;
    std::string html;
    std::string want;
  } rows[] = {
      {"paragraphs and an entity", "<p>Dear &amp; all,</p><p>see <b>you</b></p>", "Dear & all,\n\nsee you\n"},
      {"runs of blank lines become one", "a<br><br><br><br/>b", "a\n\nb"},
      {"a tag with attributes", "<div class=\"x\">a</div>", "a\n"},
      {"entities replaced once", "&amp;lt; &lt;&nbsp;&#39;&quot;", "&lt; < '\""},
      {"carriage returns dropped", "a\r\nb", "a\nb"},
      {"only markup", "<html><body></body></html>", ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(WithoutMarkup(row.html), row.want);
  }
}

TEST(HeaderText, EqualNoCaseFoldsOnlyAsciiLetters) {
  const struct Row {
    const char *a, *b;
    bool want;
  } rows[] = {
      {"filename", "FileName", true},  {"name", "names", false}, {"a", "b", false}, {"", "", true},
      {"\xC3\xA9", "\xC3\x89", false},  // é and É: not ASCII
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.a) + " / " + row.b);
    EXPECT_EQ(EqualNoCase(row.a, row.b), row.want);
  }
}

}  // namespace
