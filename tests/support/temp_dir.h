// A temporary folder for one test, removed with everything in it afterwards.
#pragma once

#include <string>

namespace sortelia::testing {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // The folder's path, without a trailing "/".
  const std::string& path() const { return path_; }
  // path() + "/" + name.
  std::string file(const std::string& name) const { return path_ + "/" + name; }
  // Creates a file (and its missing folders) holding bytes; returns its path.
  std::string write(const std::string& name, const std::string& bytes) const;
  // Creates a folder (and its parents); returns its path.
  std::string mkdir(const std::string& name) const;

 private:
  std::string path_;
};

// The bytes of a file, or "" when it cannot be read.
std::string readAll(const std::string& path);

// Path of a file in the shared test data ("camera/Canon_40D.jpg").
std::string testData(const std::string& relative);

}  // namespace sortelia::testing
