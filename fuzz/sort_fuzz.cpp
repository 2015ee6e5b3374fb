// Sorts a list of entries made from the input twice: with the system's
// collation keys and with the plain comparison only. Keys are a shortcut,
// never a different order, so both lists must come out the same, and no
// entry may be lost. The natural order of the names must be a strict weak
// ordering.
//
// Input: 1 option byte (kind, order, grouping, titles, natural), then one entry per
// line: a byte for its folder, size and date, then its name.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/env.h"
#include "platform/forwarding_env.h"
#include "scan/file_list.h"
#include "scan/natural_order.h"

namespace {

using vellora::CEntryFolder;
using vellora::CFileEntry;
using vellora::CFileList;
using vellora::Env;

void Fail(int line) {
  std::fprintf(stderr, "check failed at line %d\n", line);
  std::abort();
}

#define Check(ok) ((ok) ? (void)0 : Fail(__LINE__))

// The real system without collation keys: every sort compares directly.
class KeylessEnv : public vellora::CForwardingEnv {
 public:
  KeylessEnv() : CForwardingEnv(Env::Default()) {}
  bool CollationKey(const std::string&, std::string*) override { return false; }
  bool CollatesByteByByte() override { return false; }
};

// Folders that differ in case only share a heading; the root has none.
const char* const kFolders[] = {"/", "/a/", "/A/", "/b/c/", "/B/", "", "/z/", "/a/a/"};

struct EntryInput {
  std::string name;
  uint8_t bits;
};

// The entries in list order, as their positions in `inputs`.
std::vector<int> SortedOrder(const std::vector<EntryInput>& inputs, uint8_t options, Env* env) {
  std::vector<vellora::CFolderRef> folders;
  for (const char* f : kFolders) folders.push_back(vellora::MakeEntryFolder(f, env));
  CFileList list;
  std::unordered_map<const CFileEntry*, int> position;
  for (int i = static_cast<int>(inputs.size()) - 1; i >= 0; --i) {
    auto e = std::make_unique<CFileEntry>();
    e->SetName(inputs[i].name, env);
    const uint8_t b = inputs[i].bits;
    e->SetFolder(folders[b & 7]);
    e->size = (b >> 3) & 3;
    e->time = (b >> 5) & 3;
    // Some entries carry a title, some of them equal to another's name.
    if ((b & 0x80) != 0) {
      e->title = std::make_unique<std::string>(inputs[(i + 1) % inputs.size()].name);
    }
    position[list.AddHead(std::move(e))] = i;
  }
  const int kind = options & 3;
  const int order = (options >> 2) % 3;
  const bool group = (options & 0x10) != 0;
  const bool titles = (options & 0x20) != 0;
  const bool natural = (options & 0x40) != 0;
  list.Sort(kind, order, group, titles, env, natural);
  std::vector<int> out;
  for (const CFileEntry* e = list.head(); e != nullptr; e = e->next) out.push_back(position.at(e));
  Check(out.size() == inputs.size() && list.size() == inputs.size());
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const uint8_t options = data[0];
  std::vector<EntryInput> inputs;
  size_t pos = 1;
  while (pos < size && inputs.size() < 600) {
    size_t end = pos;
    while (end < size && data[end] != '\n') ++end;
    if (end > pos) {
      // Names hold no zero byte, as no file system gives one.
      std::string name(reinterpret_cast<const char*>(data) + pos + 1, end - pos - 1);
      for (char& c : name) c = c == '\0' ? '0' : c;
      if (!name.empty()) inputs.push_back({name, data[pos]});
    }
    pos = end + 1;
  }
  // Short inputs are repeated so that the keyed sort (long lists) is reached.
  for (size_t n = inputs.size(), i = 0; n > 0 && inputs.size() < 80; ++i) {
    inputs.push_back(inputs[i % n]);
  }
  if (inputs.empty()) return 0;
  // Antisymmetric and transitive, "neither first" included, on the first names.
  const size_t n = std::min<size_t>(inputs.size(), 12);
  auto cmp = [&](size_t a, size_t b) {
    const int c = vellora::NaturalCompare(inputs[a].name, inputs[b].name, Env::Default());
    return (c > 0) - (c < 0);
  };
  for (size_t a = 0; a < n; ++a) {
    for (size_t b = 0; b < n; ++b) {
      Check(cmp(a, b) == -cmp(b, a));
      for (size_t c = 0; c < n; ++c) Check(!(cmp(a, b) <= 0 && cmp(b, c) <= 0) || cmp(a, c) <= 0);
    }
  }
  static KeylessEnv keyless;
  Check(SortedOrder(inputs, options, Env::Default()) == SortedOrder(inputs, options, &keyless));
  return 0;
}
