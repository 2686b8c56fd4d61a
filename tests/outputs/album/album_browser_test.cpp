// The album pages opened in a real browser (headless Chromium): text from pictures and file
// names stays text, and every picture and link resolves.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <regex>
#include <sstream>

#include "exif/exif_info.h"
#include "exif/exif_writer.h"
#include "outputs/album/album_run.h"
#include "outputs/album/album_template.h"
#include "platform/text_codec.h"
#include "support/run_process.h"
#include "support/temp_dir.h"
#include "support/test_jpeg.h"

namespace sortelia::outputs::album {
namespace {

using sortelia::testing::haveProgram;
using sortelia::testing::runProcess;
using sortelia::testing::TempDir;

// A file URL for path (blanks, "#" and "%" escaped).
std::string fileUrl(const std::string& path) {
  std::string url = "file://";
  for (const char c : path) {
    if (c == ' ' || c == '#' || c == '%') {
      url += c == ' ' ? "%20" : c == '#' ? "%23" : "%25";
    } else {
      url += c;
    }
  }
  return url;
}

// The document as Chromium has it after parsing the page and running its scripts.
std::string dumpDom(const std::string& url, const std::string& profile,
                    const std::vector<std::string>& extra = {}) {
  std::vector<std::string> argv = {"timeout",
                                   "120",
                                   "chromium",
                                   "--headless",
                                   "--no-sandbox",
                                   "--disable-gpu",
                                   "--disable-background-networking",
                                   "--disable-component-update",
                                   "--disable-sync",
                                   "--no-first-run",
                                   "--user-data-dir=" + profile};
  argv.insert(argv.end(), extra.begin(), extra.end());
  argv.insert(argv.end(), {"--dump-dom", url});
  const auto r = runProcess(argv);
  EXPECT_EQ(r.exitCode, 0) << r.err;
  return r.out;
}

// A page that loads page in a frame and, once everything has loaded, lists how the browser
// resolved the frame's pictures and links: "IMG ok|bad <url>", "A <url>", "SCRIPTS <n>".
std::string frameReport(const std::string& page, const std::string& profile) {
  TempDir scratch;
  const std::string wrapper =
      scratch.write("frame.html", R"(<body><iframe id=f src=")" + fileUrl(page) + R"("></iframe>
<pre id=out></pre><script>
window.addEventListener('load', () => {
  const d = document.getElementById('f').contentDocument;
  const lines = [];
  for (const img of d.images)
    lines.push('IMG ' + (img.complete && img.naturalWidth > 0 ? 'ok ' : 'bad ') + img.src);
  for (const a of d.links) lines.push('A ' + a.href);
  lines.push('SCRIPTS ' + d.scripts.length);
  document.getElementById('out').textContent = lines.join('\n');
});
</script>)");
  const std::string dom = dumpDom(fileUrl(wrapper), profile, {"--allow-file-access-from-files"});
  const auto from = dom.find("<pre id=\"out\">"), to = dom.find("</pre>");
  if (from == std::string::npos || to == std::string::npos) return "";
  // Text as the document serialises it: "&" as "&amp;" ("<" and ">" cannot occur in URLs).
  return std::regex_replace(dom.substr(from + 14, to - from - 14), std::regex("&amp;"), "&");
}

// The file a resolved file URL names; "" when the URL carries a query or a fragment (a name
// cut short).
std::string fileOf(const std::string& url) {
  if (!url.starts_with("file://") || url.find_first_of("?#") != std::string::npos) return "";
  std::string path = url.substr(7), out;
  for (std::size_t i = 0; i < path.size(); ++i) {
    if (path[i] == '%' && i + 2 < path.size() && std::isxdigit(path[i + 1]) &&
        std::isxdigit(path[i + 2])) {
      out += static_cast<char>(std::stoi(path.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      out += path[i];
    }
  }
  return out;
}

void writePicture(const std::string& path, const std::string& comment) {
  TempDir scratch;
  std::filesystem::copy_file(scratch.write("p.jpg", sortelia::testing::makeTestJpeg(64, 48)), path);
  exif::TExifInfo exif;
  exif.UserComment = {comment};
  exif::WriteExif(exif, path);
}

TEST(AlbumInABrowser, PagesRunNoScriptFromPicturesAndEveryLinkResolves) {
  if (!haveProgram("chromium")) GTEST_SKIP() << "chromium is not installed";
  TempDir dir;
  const std::string profile = dir.mkdir("chromium-profile");
  // Scripts do run in this set-up: a page's own script changes what is dumped.
  const std::string control =
      dir.write("control.html", "<p id=x>before</p><script>x.textContent='after'</script>");
  ASSERT_NE(dumpDom(fileUrl(control), profile).find("<p id=\"x\">after</p>"), std::string::npos);

  const std::string src = dir.mkdir("Trip #2 & more") + "/";
  const std::vector<std::pair<std::string, std::string>> pictures = {
      {"R&D #1 \"best\" 50%.jpg", "<script>alert(1)</script>"},
      {"it's a b.jpg", "<script>document.body.setAttribute('data-pwned','1')</script>"},
      {"plain.jpg", "<img src=x onerror=\"document.body.setAttribute('data-pwned','2')\">"}};
  AlbumJob job;
  job.sourceDir = src;
  for (const auto& [name, comment] : pictures) {
    writePicture(src + name, comment);
    job.entries.push_back({src + name});
  }
  job.size = {32, 24};
  job.columns = 2;
  job.templateFolder = dir.mkdir("templates");
  writeMissingTemplates(job.templateFolder);
  job.itemMask = std::string(27, '1');  // the comment and the file name in [*GEXP*]
  const AlbumResult r = runAlbum(job, {}, CancelToken());
  ASSERT_TRUE(r.report.ok());

  for (const std::string& page : {r.paths.page1, r.paths.page2}) {
    const std::string dom = dumpDom(fileUrl(page), profile);
    ASSERT_NE(dom.find("<body>"), std::string::npos) << page;
    EXPECT_EQ(text::asciiLower(dom).find("<script"), std::string::npos) << page;
    // The comments show as text; none became an element or an attribute.
    EXPECT_FALSE(std::regex_search(dom, std::regex("<[a-z][^<>]*(onerror|data-pwned)"))) << page;
    EXPECT_NE(dom.find(page == r.paths.page1 ? "詳細" : "一覧"), std::string::npos) << page;

    // Per picture a link and a reduced picture that loaded, and the link to the other page.
    const std::string report = frameReport(page, profile);
    std::istringstream lines(report);
    int images = 0, links = 0;
    for (std::string kind, url; lines >> kind;) {
      if (kind == "SCRIPTS") {
        lines >> url;
        EXPECT_EQ(url, "0") << page;
        continue;
      }
      std::string state;
      if (kind == "IMG") lines >> state;
      lines >> url;
      (kind == "IMG" ? images : links)++;
      EXPECT_NE(state, "bad") << url;
      const std::string file = fileOf(url);
      EXPECT_TRUE(!file.empty() && std::filesystem::exists(file)) << url;
    }
    EXPECT_EQ(images, static_cast<int>(pictures.size())) << report;
    EXPECT_EQ(links, static_cast<int>(pictures.size()) + 1) << report;
  }
  const std::string detail = dumpDom(fileUrl(r.paths.page1), profile);
  EXPECT_NE(detail.find("&lt;script&gt;alert(1)&lt;/script&gt;"), std::string::npos);
  EXPECT_NE(detail.find("R&amp;D #1 \"best\" 50%.jpg"), std::string::npos);
}

}  // namespace
}  // namespace sortelia::outputs::album
