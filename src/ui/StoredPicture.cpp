#include "ui/StoredPicture.h"

#include <string_view>

namespace ui {

namespace {
constexpr std::string_view kPngClassName = "TPngImage";
}

TPicture ReadStoredPicture(std::span<const std::uint8_t> stored) {
  if (stored.empty() || stored.size() < 1u + stored[0]) {
    throw EInvalidGraphic("Stored picture is truncated");
  }
  const std::string_view className(reinterpret_cast<const char*>(stored.data() + 1), stored[0]);
  if (className != kPngClassName) {
    throw EInvalidGraphic("Unknown picture class: " + std::string(className));
  }
  TPicture picture;
  picture.LoadFromPngBytes(stored.subspan(1 + stored[0]));
  return picture;
}

std::vector<std::uint8_t> StorePngBytes(std::span<const std::uint8_t> png) {
  std::vector<std::uint8_t> stored;
  stored.reserve(1 + kPngClassName.size() + png.size());
  stored.push_back(static_cast<std::uint8_t>(kPngClassName.size()));
  stored.insert(stored.end(), kPngClassName.begin(), kPngClassName.end());
  stored.insert(stored.end(), png.begin(), png.end());
  return stored;
}

}  // namespace ui
