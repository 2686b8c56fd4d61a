#include "outputs/album/album_text.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "outputs/album/album_run.h"

namespace sortelia::outputs::album {
namespace {

TEST(AlbumText, EscapesTextAndEncodesLinks) {
  EXPECT_EQ(htmlEscape("<script>alert('x' & \"y\")</script>"),
            "&lt;script&gt;alert(&#39;x&#39; &amp; &quot;y&quot;)&lt;/script&gt;");
  EXPECT_EQ(urlEncodePath("/a b/50%#1\"q'&?.JPG"), "/a%20b/50%25%231%22q%27%26%3F.JPG");
  EXPECT_EQ(urlEncodePath("写.jpg"), "%E5%86%99.jpg");
  EXPECT_EQ(pictureLink("/p/src/", "/p/src/sub/a b.jpg"), "../sub/a%20b.jpg");
  EXPECT_EQ(pictureLink("/", "/x.jpg"), "../x.jpg");
  EXPECT_EQ(pictureLink("/p/src/", "/elsewhere/x.jpg"), "/elsewhere/x.jpg");
  EXPECT_EQ(sampleName("/p/src/IMG_1.JPG", false), "0_IMG_1.JPG");
  EXPECT_EQ(sampleName("/p/src/IMG_1.JPG", true), "0_S_IMG_1.JPG");
}

TEST(AlbumText, PageBytesAreCp932WithReferencesForTheRest) {
  EXPECT_EQ(pageBytes("<b>一覧</b>"), "<b>\x88\xea\x97\x97</b>");
  EXPECT_EQ(pageBytes("a😀b\xFF一"), "a&#128512;b&#65533;\x88\xea");
}

TEST(AlbumText, PlaceholdersInAnyCaseEveryOccurrence) {
  EXPECT_EQ(replaceIgnoringCase("[*Ttl*]-[*TTL*]-[*ttl*]", "[*TTL*]", "[*ttl*]"),
            "[*ttl*]-[*ttl*]-[*ttl*]");
  EXPECT_EQ(expandFront("<title>[*ttl*]</title><a href=\"[*Lnk*]\">", "T<1>", "/o/p q_2.html"),
            "<title>T&lt;1&gt;</title><a href=\"/o/p%20q_2.html\">");
}

TEST(AlbumText, TitleIsTheLocalDateAndTime) {
  ::setenv("TZ", "UTC", 1);
  ::tzset();
  EXPECT_EQ(albumTitle(1173694830), "Pictures by ZEL[ 2007/03/12 10:20:30 ]");
  EXPECT_EQ(albumTitle(1173661200), "Pictures by ZEL[ 2007/03/12 1:00:00 ]");
}

PictureText samplePicture() {
  PictureText p;
  p.path = "/p/src/sub/R&D #1.jpg";
  p.sourceDir = "/p/src/";
  p.number = 7;
  p.record.Comment = "<script>alert(1)</script>";
  p.record.CameraMaker = "Maker & Co";
  p.record.CameraModel = "M<1>";
  p.record.ShotDate = "2007:03:12";
  p.record.ShotTime = "10:20:30";
  p.record.Iso = 200;
  p.record.FlashOn = 1;
  p.record.Width = 3000;
  p.record.Height = 2000;
  p.record.ExposureCode = 2500;
  p.record.FNumber10 = 28;
  p.record.ExposureBias10 = -3;
  p.record.FocalLength10 = 400;
  p.record.FileSize = 1536;  // 1.5 KB: ties go to even
  p.infoText = "01:a -> x<y\r\n02:b -> z";
  return p;
}

TEST(AlbumText, ExpandPictureFillsEveryPlaceholder) {
  const PictureText p = samplePicture();
  const struct {
    const char* middle;
    const char* want;
  } cases[] = {
      {"[*GEXP*]", "01:a -&gt; x&lt;y</br>\r\n02:b -&gt; z"},
      {"[*GLNK*]|[*gsmp*]", "../sub/R%26D%20%231.jpg|0_R%26D%20%231.jpg"},
      {"[*NUMBER*] [*CMT*]", "7 &lt;script&gt;alert(1)&lt;/script&gt;"},
      {"[*COLTD*]/[*Model*]", "Maker &amp; Co/M&lt;1&gt;"},
      {"[*DATE*] [*TIME*] [*ISO*] [*FLASH*]", "2007.03.12 10:20:30 200 ON"},
      {"[*WIDE*]x[*HEIGHT*] [*SHUTTER*] F[*F*] [*EV*] [*ZOOM*]mm",
       "3000x2000 1/250 F2.8 -0.3 40mm"},
      {"[*FSIZE*] [*FNAME*]", "2 KB R&amp;D #1.jpg"},
  };
  for (const auto& c : cases) EXPECT_EQ(ExpandPicture(c.middle, p), c.want) << c.middle;

  PictureText q = p;
  q.record.FlashOn = 0;
  q.record.FNumber10 = 40;
  q.record.ExposureBias10 = 0;
  q.record.FileSize = 2560;  // 2.5 KB: ties go to even
  q.sepia = true;
  EXPECT_EQ(ExpandPicture("[*FLASH*] [*F*] [*EV*] [*FSIZE*] [*GSMP*]", q),
            "OFF 4 0 2 KB 0_S_R%26D%20%231.jpg");
}

TEST(AlbumText, TextInsertedEarlierIsSubjectToLaterPlaceholders) {
  PictureText p = samplePicture();
  p.infoText = "no [*number*] here";
  EXPECT_EQ(ExpandPicture("[*GEXP*]", p), "no 7 here");
  // A later placeholder's text is not searched for earlier ones.
  p.record.Comment = "[*GEXP*]";
  EXPECT_EQ(ExpandPicture("[*CMT*]", p), "[*GEXP*]");
}

TEST(AlbumText, GridRows) {
  std::string three, one;
  for (int n = 1; n <= 7; ++n) three += gridCell("c" + std::to_string(n), n, 3);
  EXPECT_EQ(three, "<tr>c1c2c3</tr><tr>c4c5c6</tr><tr>c7");
  for (int n = 1; n <= 3; ++n) one += gridCell("c", n, 1);
  EXPECT_EQ(one, "<tr>c</tr><tr>c</tr><tr>c</tr><tr>");
  EXPECT_EQ(albumColumns(545, 160), 3);
  EXPECT_EQ(albumColumns(545, 640), 1);
  EXPECT_EQ(albumColumns(5, 10), 1);
}

TEST(AlbumText, OutputNames) {
  const AlbumPaths p = albumPaths("/home/u/Trip 2007/", {640, 427}, 8);
  EXPECT_EQ(p.folder, "/home/u/Trip 2007/0_Box640x427-8/");
  EXPECT_EQ(p.page1, "/home/u/Trip 2007/0_Box640x427-8/Trip 2007_1.html");
  EXPECT_EQ(p.page2, "/home/u/Trip 2007/0_Box640x427-8/Trip 2007_2.html");
  const AlbumPaths root = albumPaths("/", {320, 240}, 10);
  EXPECT_EQ(root.folder, "/0_Box320x240-10/");
  EXPECT_EQ(root.page1, "/0_Box320x240-10/_1.html");
  EXPECT_EQ(root.page2, "/0_Box320x240-10/_2.html");
}

}  // namespace
}  // namespace sortelia::outputs::album
