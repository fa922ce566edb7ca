// How a form follows the resolution of its screen: it learns it once its
// window exists, and again when Windows moves the window to a screen of
// another resolution (WM_DPICHANGED, which per-monitor aware programs
// receive). Each time the layout's named pictures come again from the
// picture source, for the new resolution, and every control's bounds and
// fonts are scaled from the layout's.
#include <string>

#include "ui/Form.h"
#include "ui/PngImage.h"
#include "ui/ScreenDpi.h"

namespace ui {

TPicture TForm::NamedPicture(const std::wstring& name) const {
  if (!pictureSource_) {
    throw EInvalidGraphic("no picture source for the picture " +
                          std::string(name.begin(), name.end()));
  }
  return pictureSource_(name, dpi_);
}

void TForm::BindPicture(TComponent& target, std::function<void()> assign) {
  pictureBindings_.push_back({std::make_unique<TComponentGuard>(target), std::move(assign)});
}

SIZE TForm::SizeAtDpi(int dpi) const {
  return {ScaleValue(LayoutWidth(dpi_), dpi), ScaleValue(LayoutHeight(dpi_), dpi)};
}

void TForm::SetDpi(int dpi, const TRect* place) {
  if (dpi <= 0 || dpi == dpi_) {
    if (place != nullptr) SetBounds(place->Left, place->Top, place->Width(), place->Height());
    return;
  }
  const int from = dpi_;
  dpi_ = dpi;
  // The bounds first, scaled from the layout's; then the pictures drawn for
  // the new scale, which are as large as those bounds; then whatever the
  // controls derive from their pictures.
  place_ = place;
  ChangeScale(from, dpi);
  place_ = nullptr;
  for (TPictureBinding& binding : pictureBindings_) {
    if (binding.target->Alive()) binding.assign();
  }
  LayoutAfterScaling();
  if (HandleAllocated()) {
    RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  }
  if (OnDpiChanged) OnDpiChanged(*this);
}

void TForm::ChangeScale(int from, int dpi) {
  // A window on the screen keeps its corner (its place is the system's and
  // the user's); only its size follows the layout.
  const TRect scaled = ScaledBounds(from, dpi);
  const TRect r =
      place_ != nullptr ? *place_ : Bounds(Left(), Top(), scaled.Width(), scaled.Height());
  SetBounds(r.Left, r.Top, r.Width(), r.Height());
  ScaleFont(from, dpi);
  ScaleChildren(from, dpi);
}

void TForm::AdoptScreenDpi() {
  const int dpi = WindowDpi(Handle());
  if (dpi == dpi_) return;
  // Centred at its new size, as it would have been had it known at once.
  const SIZE size = SizeAtDpi(dpi);
  const TRect place = CentredBounds(size.cx, size.cy);
  SetDpi(dpi, &place);
}

bool TForm::HandleDpiMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case kWmGetDpiScaledSize: {
      // Asked before a move to a screen of another resolution: the size the
      // window will want there, so that the system's suggestion is exact.
      auto* size = reinterpret_cast<SIZE*>(lParam);
      if (size == nullptr) return false;
      *size = SizeAtDpi(LOWORD(wParam));
      result = TRUE;
      return true;
    }
    case kWmDpiChanged: {
      const auto* suggested = reinterpret_cast<const RECT*>(lParam);
      const TRect place = suggested != nullptr ? TRect{suggested->left, suggested->top,
                                                       suggested->right, suggested->bottom}
                                               : BoundsRect();
      SetDpi(LOWORD(wParam), &place);
      result = 0;
      return true;
    }
    default:
      return false;
  }
}

}  // namespace ui
