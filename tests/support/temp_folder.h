// A fresh folder under the system's temporary folder for one test, removed
// with everything in it (read-only items included) when the object goes.
#ifndef VELLORA_TESTS_SUPPORT_TEMP_FOLDER_H_
#define VELLORA_TESTS_SUPPORT_TEMP_FOLDER_H_

#include <string>

namespace vellora {

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // Full native path, without a trailing separator.
  const std::string& path() const { return path_; }

  // path() + separator + relative ('/' in `relative` is turned into the
  // native separator).
  std::string Path(const std::string& relative) const;

  // Creates the file (and its missing folders) with exactly these bytes;
  // returns its full path.
  std::string WriteFile(const std::string& relative, const std::string& content) const;

  // Creates the folder (and its missing parents); returns its full path.
  std::string MakeFolder(const std::string& relative) const;

 private:
  std::string path_;
};

// The whole content of a file, or "<missing>" when it cannot be read.
std::string ReadFileForTest(const std::string& path);

}  // namespace vellora

#endif  // VELLORA_TESTS_SUPPORT_TEMP_FOLDER_H_
