#include "app/TfrmBRKPortable.h"

namespace {
constexpr int kClientWidth = 463;
constexpr int kClientHeight = 303;
}  // namespace

TfrmBRKPortable::TfrmBRKPortable() : ui::TForm(L"TfrmBRKPortable") {
  SetCaption(L"Brightkeep Portable");
  SetClientSize(kClientWidth, kClientHeight);
}
