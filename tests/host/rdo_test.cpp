#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "host/addin.h"
#include "host/rdo.h"
#include "support/raised.h"

namespace {

using namespace host;

using testsupport::kCannotCreateObject;
using testsupport::Outcome;
using testsupport::Raised;

struct World {
  std::shared_ptr<platform::com::ClassRegistry> classes = std::make_shared<platform::com::ClassRegistry>();
  Host host;
  std::shared_ptr<Folder> inbox = host.Store()->AddFolder("Inbox");
  std::shared_ptr<Item> mail = inbox->AddItem(
      ItemData{.subject = "Newsletter",
               .attachments = {{.fileName = "logo.png", .displayName = "logo.png", .contentId = "logo@mail"},
                               {.fileName = "photo.jpg", .displayName = "Photo of us"}}});
  World() {
    platform::com::SetClassRegistry(classes);
    RegisterRDOSession(*classes);
  }
  ~World() { platform::com::SetClassRegistry(nullptr); }
  std::shared_ptr<RDOSession> Session() {
    auto session = platform::com::As<RDOSession>(platform::com::CreateObject(kRDOSessionProgId));
    session->MAPIOBJECT(host.App()->Session()->MAPIOBJECT());
    return session;
  }
};

TEST(RDOSession, ReadsTheHostsStoreByEntryId) {
  World w;
  auto message = w.Session()->GetMessageFromID(w.mail->EntryID());
  EXPECT_EQ(message->Subject(), "Newsletter");
  auto attachments = message->Attachments();
  ASSERT_EQ(attachments->Count(), 2);
  struct Row {
    long index;
    std::uint32_t tag;
    const char* want;
  };
  const Row rows[] = {{1, PR_ATTACH_CONTENT_ID_W, "logo@mail"}, {1, PR_ATTACH_CONTENT_ID_ERROR, "logo@mail"},
                      {2, PR_ATTACH_CONTENT_ID_W, ""},          {2, PR_ATTACH_CONTENT_ID_ERROR, ""},
                      {2, PR_DISPLAY_NAME_W, "Photo of us"},    {2, 0x12345678, ""}};
  for (const auto& row : rows) {
    SCOPED_TRACE(std::to_string(row.index) + " " + std::to_string(row.tag));
    EXPECT_EQ(attachments->Item(row.index)->Fields(row.tag), row.want);
  }
  // Display names agree with the host's attachments.
  EXPECT_EQ(attachments->Item(2)->DisplayName(), w.mail->Attachments()->Item(2)->DisplayName());
}

TEST(RDOSession, SeesSavedStateOnly) {
  World w;
  auto session = w.Session();
  w.mail->Attachments()->Remove(1);
  EXPECT_EQ(session->GetMessageFromID(w.mail->EntryID())->Attachments()->Count(), 2);
  w.mail->Save();
  EXPECT_EQ(session->GetMessageFromID(w.mail->EntryID())->Attachments()->Count(), 1);
  auto draft = w.host.Store()->NewItem({});
  EXPECT_EQ(Raised([&] { session->GetMessageFromID(draft->EntryID()); }),
            (Outcome{err::kNotFound, "Error in IMAPISession.OpenEntry: MAPI_E_NOT_FOUND"}));
}

TEST(RDOSession, NeedsTheSessionHandleAndMayBeMissing) {
  World w;
  auto detached = platform::com::As<RDOSession>(platform::com::CreateObject(kRDOSessionProgId));
  EXPECT_EQ(Raised([&] { detached->GetMessageFromID(w.mail->EntryID()); }),
            (Outcome{err::kNotLoggedOn, "Error in IMAPISession.OpenEntry: MAPI_E_LOGON_FAILED"}));
  w.classes->FailCreate(kRDOSessionProgId);
  EXPECT_EQ(Raised([] { platform::com::CreateObject(kRDOSessionProgId); }), kCannotCreateObject);
}

}  // namespace
