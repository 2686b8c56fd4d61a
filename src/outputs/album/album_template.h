// The album's page templates: "zel-html1.txt" (the detail page) and "zel-html2.txt" (the
// grid page) in the data folder, their section rules and their default content.
#pragma once

#include <string>
#include <vector>

namespace sortelia::outputs::album {

inline constexpr const char* kTemplate1FileName = "zel-html1.txt";
inline constexpr const char* kTemplate2FileName = "zel-html2.txt";

// The three sections of a template, each kept line followed by CR LF.
struct Template {
  std::string front;   // written once at the top of the page
  std::string middle;  // written once per picture
  std::string back;    // written once at the end
  bool operator==(const Template&) const = default;
};

// Applies the section rules to the lines of a template: a line whose first character is "#"
// is dropped; an empty line moves on to the next section (two in a row skip one); other lines
// go to the front, middle or back, and lines after the third section are dropped.
Template parseTemplate(const std::vector<std::string>& lines);

// ReadTemplate: reads the template file at path (CP932 or UTF-8, any line ends). Throws
// AlbumError when it cannot be read.
Template ReadTemplate(const std::string& path);

// The lines of the default template of type 1 (detail page) or 2 (grid page).
std::vector<std::string> defaultTemplateLines(int type);

// WriteDefaultTemplate: writes the default template of type 1 or 2 to path in CP932 with
// CR LF line ends, replacing the file. Returns false when it could not be written (the
// caller may ignore that).
bool WriteDefaultTemplate(const std::string& path, int type);

// Writes each of the two template files that is missing in folder with its default content;
// write failures are ignored.
void writeMissingTemplates(const std::string& folder);

}  // namespace sortelia::outputs::album
