#include "platform/player_app.h"

#include <gio/gio.h>

#include <cstdio>
#include <memory>

#include "platform/unique_fd.h"

namespace sortelia {
namespace {

struct GObjectUnref {
  void operator()(gpointer p) const {
    if (p) g_object_unref(p);
  }
};
template <typename T>
using GPtr = std::unique_ptr<T, GObjectUnref>;

// The default application for path, or null.
GAppInfo* defaultAppFor(const std::string& path) {
  gboolean uncertain = FALSE;
  // The name decides for most files; the first bytes help when the extension is unknown.
  guchar head[4096];
  gsize headSize = 0;
  if (const fs::UniqueFd fd(fs::openForReading(path)); fd.get() >= 0) {
    const ssize_t n = ::read(fd.get(), head, sizeof head);
    headSize = n > 0 ? static_cast<gsize>(n) : 0;
  }
  gchar* type = g_content_type_guess(path.c_str(), headSize ? head : nullptr, headSize, &uncertain);
  if (!type) return nullptr;
  GAppInfo* app = g_app_info_get_default_for_type(type, FALSE);
  g_free(type);
  return app;
}

}  // namespace

std::string FindPlayerApp(const std::string& path) {
  GPtr<GAppInfo> app(defaultAppFor(path));
  if (!app) return "";
  const char* exe = g_app_info_get_executable(app.get());
  if (!exe || !*exe) return "";
  gchar* base = g_path_get_basename(exe);
  std::string name = base ? base : "";
  g_free(base);
  return name;
}

std::string startAssociatedApp(const std::string& path, bool* noApp) {
  *noApp = false;
  GPtr<GAppInfo> app(defaultAppFor(path));
  if (!app) {
    *noApp = true;
    return "no application";
  }
  GPtr<GFile> file(g_file_new_for_path(path.c_str()));
  GList files{file.get(), nullptr, nullptr};
  GError* error = nullptr;
  // GIO builds the argument vector from the application's entry; the path is one argument.
  const gboolean ok = g_app_info_launch(app.get(), &files, nullptr, &error);
  std::string reason;
  if (!ok) reason = error ? error->message : "launch failed";
  if (error) g_error_free(error);
  return reason;
}

}  // namespace sortelia
