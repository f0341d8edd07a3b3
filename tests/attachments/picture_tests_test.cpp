// The tests every command uses before it touches pictures.

#include "attachments/attachments_fixture.h"

namespace attachments_test {
namespace {

class PictureTests : public AttachmentsTest {};

TEST_F(PictureTests, PictureAttachmentsInlinePicturesAndTheSetting) {
  auto none = Message({});
  auto documents = Message({Att("a.pdf"), Att("b.JPG.txt")});
  auto linked = Message({Att("photo.jpg", "x", host::olByReference)});
  auto inlineOnly = Message({Att("logo.png", "x", host::olByValue, "logo@mail")});
  auto mixed = Message({Att("logo.png", "x", host::olByValue, "logo@mail"), Att("Beach.JPEG")});
  auto draft = mail.Store()->NewItem({.attachments = {Att("logo.png", "x", host::olByValue, "logo@mail")}});

  struct Row {
    const char* name;
    std::shared_ptr<host::Item> item;
    bool inlineOff, inlineOn;
  };
  const Row rows[] = {
      {"nothing", nullptr, false, false},
      {"no attachments", none, false, false},
      {"no pictures", documents, false, false},
      {"a linked picture", linked, false, false},
      {"inline pictures only", inlineOnly, false, true},
      {"an inline and a real picture", mixed, true, true},
      // Never saved: the session object cannot see it, so nothing is inline.
      {"an unsaved item", draft, true, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    g_objSettings->CaptureInlineHTMLImages(0);
    EXPECT_EQ(DoesMessageHaveAtLeastOnePictureAttachment(row.item), row.inlineOff);
    g_objSettings->CaptureInlineHTMLImages(1);
    EXPECT_EQ(DoesMessageHaveAtLeastOnePictureAttachment(row.item), row.inlineOn);
  }
  EXPECT_TRUE(boxes->Log().empty());

  EXPECT_TRUE(IsAttachmentEmbedded(mixed, "logo.png"));
  EXPECT_FALSE(IsAttachmentEmbedded(mixed, "Beach.JPEG"));
  EXPECT_FALSE(IsAttachmentEmbedded(mixed, "LOGO.PNG"));  // display names match exactly
}

TEST_F(PictureTests, AMissingSessionObjectShowsTheErrorBoxAndCountsNothingAsInline) {
  auto item = Message({Att("logo.png", "x", host::olByValue, "logo@mail")});
  g_objRDOSession.reset();
  g_objSettings->CaptureInlineHTMLImages(0);
  EXPECT_TRUE(DoesMessageHaveAtLeastOnePictureAttachment(item));
  ASSERT_EQ(boxes->Log().size(), 1u);
  EXPECT_EQ(boxes->Log()[0].prompt,
            "Error 91 (Object variable or With block variable not set) in procedure IsAttachmentEmbedded of Module "
            "modPictureAttachments");
}

TEST_F(PictureTests, DownloadStatesByHostVersion) {
  auto item = Message({Att("a.jpg")});
  struct Row {
    const char* version;
    long state;
    bool want;
  };
  const Row rows[] = {
      {"11.0.0.8217", host::olFullItem, true},
      {"11.0.0.8217", host::olHeaderOnly, false},
      {"9.0.0.2711", host::olHeaderOnly, true},  // no download states before 10
      {"garbage", host::olHeaderOnly, true},     // unreadable counts as downloaded
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.version);
    mail.Context()->Version(row.version);
    item->DownloadState(row.state);
    EXPECT_EQ(IsMessageDownloaded(item), row.want);
  }
  mail.Context()->Version("11.0.0.8217");
  item->Faults().FailAlways("DownloadState", 438);
  EXPECT_TRUE(IsMessageDownloaded(item));
  EXPECT_TRUE(boxes->Log().empty());
}

TEST_F(PictureTests, AllAttachmentsPictures) {
  EXPECT_FALSE(AreAllAttachmentsPictures(Message({})->Attachments()));
  EXPECT_TRUE(AreAllAttachmentsPictures(Message({Att("a.jpg"), Att("b.PNG", "x", 1, "cid")})->Attachments()));
  EXPECT_FALSE(AreAllAttachmentsPictures(Message({Att("a.jpg"), Att("b.doc")})->Attachments()));
  EXPECT_FALSE(
      AreAllAttachmentsPictures(Message({Att("a.jpg"), Att("b.jpg", "x", host::olEmbeddeditem)})->Attachments()));
}

}  // namespace
}  // namespace attachments_test
