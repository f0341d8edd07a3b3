#pragma once
// The desktop's work area (the screen less the task bar), as
// SystemParametersInfoA with SPI_GETWORKAREA gives it: a rectangle in
// pixels. Tests set it, with a left or top other than 0 where they need one;
// the program sets the real one at start.

#include "platform/shell/seam.h"

namespace platform::shell {

inline constexpr long SPI_GETWORKAREA = 48;

struct RECT {
  long left = 0;
  long top = 0;
  long right = 0;
  long bottom = 0;
  bool operator==(const RECT&) const = default;
};

class WorkArea {
 public:
  explicit WorkArea(Seam* seam) : seam_(seam) {}

  // Seam.
  void Set(const RECT& area) { area_ = area; }
  const RECT& Get() const { return area_; }
  // While set, the call fails (returns 0) and leaves `rect` as it was.
  void Fail(bool failing) { failing_ = failing; }

  // Nonzero on success. Only SPI_GETWORKAREA is known; any other action
  // fails and leaves `rect` as it was.
  long SystemParametersInfoA(long uAction, long uParam, RECT* rect, long fuWinIni);

 private:
  Seam* seam_;
  RECT area_{0, 0, 1024, 738};
  bool failing_ = false;
};

long SystemParametersInfoA(long uAction, long uParam, RECT* rect, long fuWinIni);

}  // namespace platform::shell
