#include "platform/safe_write.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/env.h"

namespace vellora {

namespace {

constexpr size_t kBlockSize = 64 * 1024;

}  // namespace

CSafeFileWrite::~CSafeFileWrite() = default;

bool CHeldSafeWrite::Append(std::string_view text) {
  if (done_) return false;
  if (!text.empty()) pieces_.emplace_back(text);
  return true;
}

bool CHeldSafeWrite::Commit() {
  if (done_) return false;
  done_ = true;
  const std::vector<std::string_view> views(pieces_.begin(), pieces_.end());
  const bool ok = env_->WritePiecesSafely(path_, views);
  pieces_.clear();
  return ok;
}

CReplaceTarget::~CReplaceTarget() = default;

std::unique_ptr<CSafeFileWrite> StartReplacingWrite(std::unique_ptr<CReplaceTarget> target,
                                                    const std::string& path) {
  const bool old_open = target->Open(path);
  if (target->failed()) return std::make_unique<CReplacingWrite>(nullptr, false);
  return std::make_unique<CReplacingWrite>(std::move(target), old_open);
}

CReplacingWrite::CReplacingWrite(std::unique_ptr<CReplaceTarget> target, bool old_open)
    : target_(std::move(target)),
      state_(target_ == nullptr ? State::kFailed
                                : (old_open ? State::kComparing : State::kWriting)) {
  if (state_ == State::kComparing) {
    block_.resize(kBlockSize);
  } else if (state_ == State::kWriting && !target_->CreateTemp()) {
    state_ = State::kFailed;
  }
}

CReplacingWrite::~CReplacingWrite() {
  if (state_ == State::kWriting) target_->RemoveTemp();
  if (target_ != nullptr) target_->CloseOld();
}

bool CReplacingWrite::Fail() {
  if (state_ == State::kWriting) target_->RemoveTemp();
  if (target_ != nullptr) target_->CloseOld();
  state_ = State::kFailed;
  return false;
}

size_t CReplacingWrite::CompareWithOld(std::string_view text) {
  size_t same = 0;
  while (same < text.size()) {
    if (block_at_ == block_end_) {
      const int64_t n = target_->ReadOld(block_.data(), block_.size());
      if (n <= 0) break;
      block_at_ = 0;
      block_end_ = static_cast<size_t>(n);
    }
    const size_t step = std::min(text.size() - same, block_end_ - block_at_);
    if (std::memcmp(text.data() + same, block_.data() + block_at_, step) != 0) break;
    same += step;
    block_at_ += step;
  }
  matched_ += same;
  return same;
}

bool CReplacingWrite::StartTemp() {
  if (!target_->CreateTemp()) {
    state_ = State::kFailed;
    target_->CloseOld();
    return false;
  }
  state_ = State::kWriting;
  if (!target_->RewindOld()) return Fail();
  for (uint64_t left = matched_; left > 0;) {
    const int64_t n = target_->ReadOld(block_.data(), static_cast<size_t>(
                                                          std::min<uint64_t>(left, block_.size())));
    if (n <= 0) return Fail();
    if (!target_->WriteTemp(std::string_view(block_.data(), static_cast<size_t>(n)))) {
      return Fail();
    }
    left -= static_cast<uint64_t>(n);
  }
  // The copied part must be the part compared.
  if (!target_->OldUnchanged()) return Fail();
  target_->CloseOld();
  block_ = std::vector<char>();
  return true;
}

bool CReplacingWrite::Append(std::string_view text) {
  if (state_ == State::kComparing) {
    const size_t same = CompareWithOld(text);
    if (same == text.size()) return true;
    if (!StartTemp()) return false;
    text.remove_prefix(same);
  }
  if (state_ != State::kWriting) return false;
  return target_->WriteTemp(text) || Fail();
}

bool CReplacingWrite::Commit() {
  if (state_ == State::kComparing) {
    // Unchanged when the old file ends where the text ends.
    if (block_at_ == block_end_ && target_->ReadOld(block_.data(), 1) == 0) {
      target_->CloseOld();
      state_ = State::kDone;
      return true;
    }
    if (!StartTemp()) return false;
  }
  if (state_ != State::kWriting) return false;
  if (!target_->PutTempInPlace()) return Fail();
  state_ = State::kDone;
  return true;
}

bool WritePiecesThrough(CSafeFileWrite* write, const std::vector<std::string_view>& pieces) {
  for (std::string_view piece : pieces) {
    if (!write->Append(piece)) return false;
  }
  return write->Commit();
}

}  // namespace vellora
