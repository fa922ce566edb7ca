#include "app/WindowArt.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cwctype>

#include "ui/PngImage.h"
#include "ui/Resample.h"
#include "ui/Scale.h"

namespace app {

namespace {

// The bytes of one picture of one set, as the program holds them; empty
// when there is no such resource. Resources stay mapped with the program:
// nothing to free.
std::span<const std::uint8_t> ArtBytes(const std::wstring& name, int setDpi) {
  std::wstring resourceName = name;
  std::transform(resourceName.begin(), resourceName.end(), resourceName.begin(),
                 [](wchar_t c) { return static_cast<wchar_t>(std::towupper(c)); });
  const std::wstring type = L"ART" + std::to_wstring(setDpi);
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC found = FindResourceW(module, resourceName.c_str(), type.c_str());
  if (found == nullptr) return {};
  HGLOBAL loaded = LoadResource(module, found);
  const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
  if (bytes == nullptr) return {};
  return {static_cast<const std::uint8_t*>(bytes), SizeofResource(module, found)};
}

}  // namespace

int ArtSetFor(int dpi, std::span<const int> sets) {
  for (int set : sets) {
    if (set >= dpi) return set;
  }
  return sets.empty() ? ui::kDesignDpi : sets.back();
}

ui::TPicture WindowArtPicture(const std::wstring& name, int dpi) {
  const int set = ArtSetFor(dpi);
  const std::span<const std::uint8_t> bytes = ArtBytes(name, set);
  if (bytes.empty()) {
    throw ui::EInvalidGraphic("the program has no picture " +
                              std::string(name.begin(), name.end()) + " for " +
                              std::to_string(set) + " dpi");
  }
  ui::TPngImage image = ui::TPngImage::FromPngBytes(bytes);
  if (set != dpi) {
    // The size the layout has at this resolution: the 100 % picture's, scaled.
    const ui::TImageSize design = ui::PngImageSize(ArtBytes(name, ui::kDesignDpi));
    if (design.Width > 0 && design.Height > 0) {
      image = ui::ResampleImage(image, ui::ScaleValue(design.Width, dpi),
                                ui::ScaleValue(design.Height, dpi));
    }
  }
  return ui::TPicture(std::move(image));
}

}  // namespace app
