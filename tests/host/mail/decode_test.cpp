// Attachments are decoded in one pass from the message in memory. What comes
// out must be, byte for byte, what GMime's own decoding of the same part gives:
// for every transfer encoding, the sample mail and the fuzz corpora.

#include <gmime/gmime.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "host/mail/decode.h"
#include "host/mail/mime.h"
#include "host/mail/store.h"
#include "mail_support.h"

namespace {

using namespace mail_test;
using host::mail::detail::Base64Decoder;

std::string GMimeBase64(std::string_view in) {
  std::string out(in.size() + 8, '\0');
  int state = 0;
  guint32 save = 0;
  out.resize(g_mime_encoding_base64_decode_step(reinterpret_cast<const unsigned char*>(in.data()), in.size(),
                                                reinterpret_cast<unsigned char*>(out.data()), &state, &save));
  return out;
}

// Decoded in pieces cut at `cuts` positions apart, cycling.
std::string Ours(std::string_view in, const std::vector<std::size_t>& cuts) {
  std::string out(Base64Decoder::MaxOutput(in.size()) + 8 * in.size() / 4 + 8, '\0');
  Base64Decoder decoder;
  std::size_t written = 0;
  for (std::size_t at = 0, k = 0; at < in.size(); ++k) {
    const std::size_t n = std::min(cuts[k % cuts.size()], in.size() - at);
    written += decoder.Step(in.substr(at, n), reinterpret_cast<unsigned char*>(out.data()) + written);
    at += n;
  }
  out.resize(written);
  return out;
}

TEST(Base64Decoder, GivesWhatGMimeGivesForAnyInputCutAnywhere) {
  g_mime_init();
  struct Row {
    const char* name;
    std::string in;
  };
  const Row rows[] = {
      {"groups", "QUJD"},
      {"lines", "QUJD\nREVG\r\nR0hJ\n"},
      {"a group across a line break", "QU\nJDRE\r\nVG"},
      {"one pad", "QUI="},
      {"two pads", "QQ=="},
      {"a pad ends the content", "QUJDQQ==QUJD"},
      {"a pad at a group's start", "QUJD=QUJD"},
      {"a pad too early", "Q=UJD"},
      {"no pad", "QUJDQ"},
      {"junk between", "QU*JD QU\x01JD\xff"},
      {"pads alone", "=="},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    for (const auto& cuts : std::vector<std::vector<std::size_t>>{{1 << 20}, {1}, {3, 1, 2}})
      EXPECT_EQ(Ours(row.in, cuts), GMimeBase64(row.in));
  }
  // Every byte value at every place of a run of digits long enough to be
  // decoded 32 at a time.
  const std::string run = "QUJDREVGR0hJSktMTU5PUFFSU1RVVldYWVphYmNkZWZnaGlqa2xtbm9wcXJzdHV2d3h5ejAxMjM0NTY3ODkrLw==";
  for (int c = 0; c < 256; ++c) {
    for (std::size_t at = 0; at < 32; ++at) {
      std::string in = run;
      in[at] = static_cast<char>(c);
      ASSERT_EQ(Ours(in, {1 << 20}), GMimeBase64(in)) << c << " at " << at;
    }
  }
  // Mostly digits, some line breaks, pads and junk, cut at random.
  static const char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::mt19937 random(17);
  for (int i = 0; i < 20000; ++i) {
    std::string in;
    for (int n = static_cast<int>(random() % 64); n > 0; --n) {
      const unsigned pick = random() % 100;
      in += pick < 80 ? kDigits[random() % 64] : pick < 88 ? '\n' : pick < 92 ? '\r' : pick < 96 ? '=' : char(random());
    }
    const std::vector<std::size_t> cuts{1 + random() % 7, 1 + random() % 7, 1 << 20};
    ASSERT_EQ(Ours(in, cuts), GMimeBase64(in)) << in;
  }
}

// GMime's own decoding of the part at `path`, read from a file stream as the
// store once did.
std::string GMimeDecoded(const fs::path& file, const host::mail::detail::PartPath& path) {
  GMimeStream* stream = g_mime_stream_file_open(file.c_str(), "rb", nullptr);
  GMimeParser* parser = g_mime_parser_new_with_stream(stream);
  GMimeMessage* message = g_mime_parser_construct_message(parser, nullptr);
  std::string out = "(no such part)";
  GMimeObject* object = message ? g_mime_message_get_mime_part(message) : nullptr;
  for (int index : path)
    object = object && GMIME_IS_MULTIPART(object) ? g_mime_multipart_get_part(GMIME_MULTIPART(object), index) : nullptr;
  if (object && GMIME_IS_PART(object)) {
    GMimeStream* memory = g_mime_stream_mem_new();
    if (GMimeDataWrapper* content = g_mime_part_get_content(GMIME_PART(object)))
      g_mime_data_wrapper_write_to_stream(content, memory);
    GByteArray* bytes = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(memory));
    out.assign(reinterpret_cast<const char*>(bytes->data), bytes->len);
    g_object_unref(memory);
  }
  if (message) g_object_unref(message);
  g_object_unref(parser);
  g_object_unref(stream);
  return out;
}

// Every file part of the message `bytes`, read whole and in pieces, against
// GMime: from the message as parsed, and from its file once another message
// was parsed since.
void ExpectSameAsGMime(const std::string& bytes) {
  Scratch scratch;
  const fs::path file = scratch.root() / "Inbox" / "m.eml";
  const fs::path other = scratch.root() / "other.eml";
  WriteBytes(file, bytes);
  WriteBytes(other, "Subject: other\n\nbody\n");
  const auto parts = host::mail::detail::ReadStructure(file).attachments;
  auto message = host::mail::Store::Open(scratch.root())->FindFolder("Inbox")->Messages().at(0);
  ASSERT_EQ(message->Attachments().size(), parts.size());
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (parts[i].type != 1) continue;  // an attached message is written by GMime itself
    SCOPED_TRACE("attachment " + std::to_string(i));
    const std::string want = GMimeDecoded(file, parts[i].path);
    for (bool parsed_last : {true, false}) {
      SCOPED_TRACE(parsed_last ? "parsed last" : "another parsed since");
      if (!parsed_last) host::mail::detail::ReadStructure(other);
      EXPECT_EQ(message->ReadAttachment(i), want);
      std::string pieces;
      if (!parsed_last) host::mail::detail::ReadStructure(other);
      EXPECT_EQ(message->OpenAttachment(i)([&](std::string_view piece) { pieces += piece; }), want.size());
      EXPECT_EQ(pieces, want);
    }
    EXPECT_EQ(message->AttachmentSize(i), want.size());
  }
}

std::string Part(const std::string& name, const std::string& encoding, const std::string& body) {
  return "--b\nContent-Type: application/octet-stream\nContent-Disposition: attachment; filename=\"" + name +
         "\"\nContent-Transfer-Encoding: " + encoding + "\n\n" + body + "\n";
}

TEST(AttachmentDecoding, EveryTransferEncodingComesOutAsGMimeDecodesIt) {
  // Larger than the piece buffer, so it comes in several pieces, cut inside
  // groups and lines.
  std::string big(9 << 20, '\0');
  std::mt19937 random(5);
  for (char& c : big) c = static_cast<char>(random());
  GMimeStream* memory = g_mime_stream_mem_new();
  GMimeStream* filtered = g_mime_stream_filter_new(memory);
  GMimeFilter* encoder = g_mime_filter_basic_new(GMIME_CONTENT_ENCODING_BASE64, TRUE);
  g_mime_stream_filter_add(GMIME_STREAM_FILTER(filtered), encoder);
  g_mime_stream_write(filtered, big.data(), big.size());
  g_mime_stream_flush(filtered);
  GByteArray* encoded = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(memory));
  const std::string big64(reinterpret_cast<const char*>(encoded->data), encoded->len);
  g_object_unref(encoder);
  g_object_unref(filtered);
  g_object_unref(memory);

  const std::string message =
      "Subject: every encoding\nMIME-Version: 1.0\nContent-Type: multipart/mixed; boundary=\"b\"\n\n" +
      Part("lines.bin", "base64", "SGVsbG8sIHdvcmxkIQ==") +
      Part("crlf.bin", "BASE64", "AAECAwQFBgcICQoLDA0ODxAREhMUFRYXGBkaGxwdHh8gISIj\r\nJCUmJygpKissLS4v\r\n") +
      Part("odd.bin", "base64", "QUJ\nDREV\nGR0\nhJ  Sk*tM\nTU5P\n") +
      Part("junk-after-pad.bin", "base64", "QUJDRA==\nnot base64 at all\n") + Part("big.bin", "base64", big64) +
      Part("quoted.txt", "quoted-printable", "caf=C3=A9 au lait=\n soft break=3D equals=20\ntrailing   \n") +
      Part("uu.bin", "x-uuencode", "begin 644 uu.bin\n#0D)#\n`\nend\n") + Part("seven.txt", "7bit", "plain\ntext\n") +
      Part("eight.txt", "8bit", "caf\xC3\xA9\n") +
      Part("binary.bin", "binary", std::string("\x00\x01\xff\r\n\x02", 6)) +
      Part("unknown.bin", "x-unheard-of", "as it stands\n") + Part("none.bin", "", "no encoding named\n") + "--b--\n";
  ExpectSameAsGMime(message);
}

TEST(AttachmentDecoding, TheSampleMailAndTheFuzzCorpusComeOutAsGMimeDecodesThem) {
  std::vector<fs::path> files;
  for (const char* folder : {"mail", "mail/malformed", "fuzz/mail_message"})
    for (const auto& entry : fs::directory_iterator(fs::path(LUMIVANE_TEST_DATA) / folder))
      if (entry.is_regular_file() && entry.path().filename().string().front() != '.') files.push_back(entry.path());
  ASSERT_GT(files.size(), 100u);
  for (const fs::path& file : files) {
    SCOPED_TRACE(file.string());
    ExpectSameAsGMime(ReadBytes(file));
  }
}

}  // namespace

namespace {

// A walk over many messages as a save command makes it: every message
// hinted, then each asked for its attachments and saved in turn, while
// other threads parse and decode ahead. Half the files are replaced on disk
// after the hints: their structure and bytes must be the new file's.
TEST(AttachmentDecoding, WorkDoneAheadGivesWhatGMimeGives) {
  Scratch scratch;
  const fs::path inbox = scratch.root() / "Inbox";
  MakeMaildir(inbox);
  std::vector<fs::path> fixtures;
  for (const auto& entry : fs::directory_iterator(fs::path(LUMIVANE_TEST_DATA) / "mail"))
    if (entry.path().extension() == ".eml") fixtures.push_back(entry.path());
  std::sort(fixtures.begin(), fixtures.end());
  ASSERT_GE(fixtures.size(), 5u);
  constexpr int kMessages = 40;
  for (int i = 0; i < kMessages; ++i)
    WriteBytes(inbox / "cur" / ("1700000000.M" + std::to_string(100 + i) + "P1.host:2,S"),
               ReadBytes(fixtures[i % fixtures.size()]));
  auto messages = host::mail::Store::Open(scratch.root())->FindFolder("Inbox")->Messages();
  ASSERT_EQ(messages.size(), static_cast<std::size_t>(kMessages));
  for (const auto& message : messages) message->ReadAhead();
  for (int i = 0; i < kMessages / 2; ++i) messages[i]->Attachments();
  for (int i = kMessages / 2; i < kMessages; ++i)
    WriteBytes(messages[i]->File(), ReadBytes(fixtures[(i + 1) % fixtures.size()]) + "\n");

  const fs::path out = scratch.root() / "out";
  for (const auto& message : messages) {
    SCOPED_TRACE(message->File().filename().string());
    const auto parts = host::mail::detail::ReadStructure(message->File()).attachments;
    ASSERT_EQ(message->Attachments().size(), parts.size());
    for (std::size_t i = 0; i < parts.size(); ++i) {
      EXPECT_EQ(message->Attachments()[i].content_type, parts[i].content_type);
      if (parts[i].type != 1) continue;
      fs::remove_all(out);
      fs::create_directories(out);
      EXPECT_EQ(ReadBytes(message->SaveAttachmentInto(i, out)), GMimeDecoded(message->File(), parts[i].path));
    }
  }
}

}  // namespace
