// A file written safely as its text is produced (Env::StartSafeWrite), and
// the one way the system backends do it: the text is compared with the old
// file as it comes, and only once it differs is a temporary file beside the
// target made (the equal part copied from the old file), so that a page that
// is already up to date is never written again.
#ifndef VELLORA_PLATFORM_SAFE_WRITE_H_
#define VELLORA_PLATFORM_SAFE_WRITE_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vellora {

class Env;

class CSafeFileWrite {
 public:
  // A write not committed leaves the target as it was and no temporary
  // file behind.
  virtual ~CSafeFileWrite();

  // Adds `text` at the end of the new file. False once the write has
  // failed; the text is then dropped, and Commit will fail.
  virtual bool Append(std::string_view text) = 0;

  // Puts the new file in place of the target. False on any failure (or a
  // second call): the target is then the old file, untouched.
  virtual bool Commit() = 0;
};

// Keeps the text in memory and hands it to env->WritePiecesSafely at Commit:
// what Env::StartSafeWrite gives for Envs without a streaming write.
class CHeldSafeWrite : public CSafeFileWrite {
 public:
  CHeldSafeWrite(Env* env, std::string path) : env_(env), path_(std::move(path)) {}
  bool Append(std::string_view text) override;
  bool Commit() override;

 private:
  Env* env_;
  std::string path_;
  std::vector<std::string> pieces_;
  bool done_ = false;
};

// What a backend does to the target, its old file and a temporary file.
class CReplaceTarget {
 public:
  virtual ~CReplaceTarget();
  // Looks at the target `path`; true when its old file is open to be
  // compared. A target that can never be written sets failed().
  virtual bool Open(const std::string& path) = 0;
  virtual bool failed() const = 0;
  // The next bytes of the old file: how many were read, 0 at its end, -1
  // on failure.
  virtual int64_t ReadOld(char* buffer, size_t size) = 0;
  // Back to the start of the old file.
  virtual bool RewindOld() = 0;
  // True when nobody changed the old file since it was opened.
  virtual bool OldUnchanged() = 0;
  virtual void CloseOld() = 0;
  // Creates the temporary file beside the target.
  virtual bool CreateTemp() = 0;
  virtual bool WriteTemp(std::string_view text) = 0;
  // Closes the temporary file and renames it over the target.
  virtual bool PutTempInPlace() = 0;
  // Closes and removes the temporary file.
  virtual void RemoveTemp() = 0;
};

// The safe write of the system backends over a CReplaceTarget. A null
// target is a write that failed before it began.
class CReplacingWrite : public CSafeFileWrite {
 public:
  // With `old_open` the target's old file is open to be compared with.
  CReplacingWrite(std::unique_ptr<CReplaceTarget> target, bool old_open);
  ~CReplacingWrite() override;
  bool Append(std::string_view text) override;
  bool Commit() override;

 private:
  enum class State { kComparing, kWriting, kFailed, kDone };

  // How many leading bytes of `text` the old file holds next.
  size_t CompareWithOld(std::string_view text);
  // Makes the temporary file and copies the equal part into it.
  bool StartTemp();
  bool Fail();

  std::unique_ptr<CReplaceTarget> target_;
  State state_;
  uint64_t matched_ = 0;  // bytes equal to the old file's first ones
  std::vector<char> block_;
  size_t block_at_ = 0;
  size_t block_end_ = 0;
};

// The safe write of `path` over `target` (a backend's, not yet opened).
std::unique_ptr<CSafeFileWrite> StartReplacingWrite(std::unique_ptr<CReplaceTarget> target,
                                                    const std::string& path);

// Appends the pieces one after another and commits: WritePiecesSafely over
// a safe write.
bool WritePiecesThrough(CSafeFileWrite* write, const std::vector<std::string_view>& pieces);

}  // namespace vellora

#endif  // VELLORA_PLATFORM_SAFE_WRITE_H_
