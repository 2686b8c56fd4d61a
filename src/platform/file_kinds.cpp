#include "platform/file_kinds.h"

#include <algorithm>

#include "platform/text_codec.h"

namespace sortelia::fs {

std::string lowerExtension(std::string_view name) {
  const auto dot = name.rfind('.');
  return dot == std::string_view::npos ? std::string() : text::asciiLower(name.substr(dot));
}

std::optional<MediaKindEntry> kindOfName(std::string_view name) {
  const std::string ext = lowerExtension(name);
  for (const MediaKindEntry& e : kFileKinds) {
    if (e.extension == ext) return e;
  }
  return std::nullopt;
}

std::string companionName(std::string_view pictureName, std::string_view newPictureName,
                          std::string_view companion) {
  const std::string lowerCompanion = text::asciiLower(companion);
  const std::string lowerPicture = text::asciiLower(pictureName) + ".";
  if (lowerCompanion.size() > lowerPicture.size() && lowerCompanion.starts_with(lowerPicture)) {
    return std::string(newPictureName) + std::string(companion.substr(pictureName.size()));
  }
  const auto stemLength = [](std::string_view name) {
    const auto dot = name.rfind('.');
    return dot == std::string_view::npos ? name.size() : dot;
  };
  const std::size_t oldStem = std::min(stemLength(pictureName), companion.size());
  return std::string(newPictureName.substr(0, stemLength(newPictureName))) +
         std::string(companion.substr(oldStem));
}

std::vector<std::string> listedExtensions(bool classicOnly) {
  std::vector<std::string> out;
  for (const MediaKindEntry& e : kFileKinds) {
    if ((e.kind == MediaKind::Picture || e.kind == MediaKind::Movie) &&
        (e.classic || !classicOnly)) {
      out.emplace_back(e.extension);
    }
  }
  return out;
}

bool isPictureName(std::string_view name) {
  const auto k = kindOfName(name);
  return k && (k->kind == MediaKind::Picture || k->kind == MediaKind::Raw);
}

bool isMovieName(std::string_view name) {
  const auto k = kindOfName(name);
  return k && k->kind == MediaKind::Movie;
}

}  // namespace sortelia::fs
