#include "windows/tag_anchor.h"

#include <string>

#include "platform/forms/form.h"
#include "runtime/convert.h"
#include "runtime/handlers.h"

namespace lumivane {

namespace {

namespace forms = platform::forms;

bool LetterIsT(const std::string& tag, std::size_t position) { return position < tag.size() && tag[position] == 'T'; }

}  // namespace

TagAnchor::TagAnchor() { UserControl_Resize(); }

void TagAnchor::UserControl_Resize() {
  runtime::ResumeNext rn;
  rn([&] { Width(480); });
  rn([&] { Height(465); });
}

void TagAnchor::DoResize() {
  runtime::ResumeNext rn;
  forms::Form& form = Parent();
  bool minimised = false;
  rn([&] { minimised = form.WindowState() == forms::FormWindowState::vbMinimized; });
  if (minimised) return;

  // Only a real shrink is undone: setting the size it already has would
  // raise no Resize anyway, and a set that did would come back here forever.
  rn([&] {
    if (form.Height() < static_cast<float>(m_lngMinHeight)) form.Height(static_cast<float>(m_lngMinHeight));
  });
  rn([&] {
    if (form.Width() < static_cast<float>(m_lngMinWidth)) form.Width(static_cast<float>(m_lngMinWidth));
  });

  std::int32_t vertical = 0;
  std::int32_t horizontal = 0;
  rn([&] { vertical = runtime::CLng(form.Height()) - m_lngLastHeight; });
  rn([&] { horizontal = runtime::CLng(form.Width()) - m_lngLastWidth; });

  if (m_lngLastHeight != 0 && m_lngLastWidth != 0) {
    std::vector<forms::Control*> controls;
    rn([&] { controls = form.Controls(); });
    for (forms::Control* c : controls) {
      std::string tag;
      if (!rn([&] { tag = c->Tag(); })) continue;
      rn([&] {
        if (tag.empty() || tag.back() != 'T') return;
        if (LetterIsT(tag, 1)) {
          c->Height(c->Height() + static_cast<float>(vertical));
        } else {
          c->Top(c->Top() + static_cast<float>(vertical));
        }
      });
      rn([&] {
        if (!LetterIsT(tag, 2)) return;
        if (LetterIsT(tag, 0)) {
          c->Width(c->Width() + static_cast<float>(horizontal));
        } else {
          c->Left(c->Left() + static_cast<float>(horizontal));
        }
      });
    }
  } else {
    rn([&] { m_lngMinHeight = runtime::CLng(form.Height()); });
    rn([&] { m_lngMinWidth = runtime::CLng(form.Width()); });
  }
  rn([&] { m_lngLastHeight = runtime::CLng(form.Height()); });
  rn([&] { m_lngLastWidth = runtime::CLng(form.Width()); });
}

}  // namespace lumivane
