// The runtime heap, the temporary-string stack, SpaceString and the string primitives in any
// order of operations. A shadow copy of every live block says what its bytes must be: each
// operation may change only the bytes it is given, blocks arrive zero-filled, the heap counts
// exactly the live blocks and bytes, the stack holds exactly what was parked, and at the end
// of the input everything is given back. Strings that end on the last byte before a page that
// cannot be read show any read past the terminator that leaves the page.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "../../platform/portable/diagnostics.h"
#include "../../runtime/core/heap.h"
#include "../../runtime/core/strings.h"
#include "../core/guarded_page.h"
#include "fuzz_input.h"

namespace {

constexpr size_t kMaxBlocks = 200;
constexpr size_t kMaxLiveBytes = 1 << 20;

struct Block {
  char* p;
  std::vector<char> shadow;  // what the block must hold; its size is the block's
  bool parked = false;       // owned by the stack
};

struct Model {
  std::vector<Block> blocks;
  std::vector<char*> parked;  // the stack, bottom first
  size_t liveBytes = 0;
};

GuardedPage& Guard() {
  static GuardedPage* page = new GuardedPage;
  return *page;
}

unsigned char Upper(unsigned char c) {
  return static_cast<unsigned char>(
      reinterpret_cast<uintptr_t>(CharUpperA(reinterpret_cast<LPSTR>(static_cast<uintptr_t>(c)))));
}

void CheckBlock(const Block& b) {
  FUZZ_CHECK(b.shadow.empty() || std::memcmp(b.p, b.shadow.data(), b.shadow.size()) == 0);
}

void CheckAccounting(const Model& m) {
  const portable::HeapUsage usage = portable::QueryHeapUsage(RuntimeHeap);
  FUZZ_CHECK(usage.blocks == m.blocks.size());
  FUZZ_CHECK(usage.bytes == m.liveBytes);
  FUZZ_CHECK(TempStringStack.count >= 0 && TempStringStack.count <= TEMP_STRING_SLOTS);
  FUZZ_CHECK(static_cast<size_t>(TempStringStack.count) == m.parked.size());
  for (size_t i = 0; i < m.parked.size(); ++i) FUZZ_CHECK(TempStringStack.slots[i] == m.parked[i]);
}

// A new block from the heap, with what its shadow must start as.
void Adopt(Model& m, char* p, std::vector<char> contents) {
  FUZZ_CHECK(p != nullptr);
  FUZZ_CHECK(HeapSize(RuntimeHeap, 0, p) == contents.size());
  m.liveBytes += contents.size();
  m.blocks.push_back(Block{p, std::move(contents)});
  CheckBlock(m.blocks.back());
}

// Drops a block about to be freed (its bytes checked first) or freed already (not checked).
void Forget(Model& m, const char* p, bool stillThere = true) {
  auto it =
      std::find_if(m.blocks.begin(), m.blocks.end(), [p](const Block& b) { return b.p == p; });
  FUZZ_CHECK(it != m.blocks.end());
  if (stillThere) CheckBlock(*it);
  m.liveBytes -= it->shadow.size();
  m.blocks.erase(it);
}

int32_t SizeFrom(fuzz::Input& in) {
  switch (in.Below(8)) {
    case 0:
    case 1:
    case 2:
    case 3: return static_cast<int32_t>(in.Below(64));
    case 4:
    case 5: return in.U16() % 4097;
    case 6: return in.U16();
    default: return in.Bit() ? -1 - static_cast<int32_t>(in.U16()) : INT32_MIN;
  }
}

// One of our own blocks (not parked), or null when there is none.
Block* OwnBlock(Model& m, fuzz::Input& in) {
  std::vector<Block*> own;
  for (Block& b : m.blocks) {
    if (!b.parked) own.push_back(&b);
  }
  if (own.empty()) return nullptr;
  return own[in.U8() % own.size()];
}

Block* AnyBlock(Model& m, fuzz::Input& in) {
  if (m.blocks.empty()) return nullptr;
  return &m.blocks[in.U8() % m.blocks.size()];
}

// A string inside a block: an offset at which a terminator follows within the block.
bool StringIn(const Block& b, size_t offset, size_t* length) {
  if (offset >= b.shadow.size()) return false;
  const auto end =
      std::find(b.shadow.begin() + static_cast<ptrdiff_t>(offset), b.shadow.end(), '\0');
  if (end == b.shadow.end()) return false;
  *length = static_cast<size_t>(end - b.shadow.begin()) - offset;
  return true;
}

void CheckParked(Model& m, const char* s) {
  if (s == nullptr) return;
  auto it =
      std::find_if(m.blocks.begin(), m.blocks.end(), [s](const Block& b) { return b.p == s; });
  FUZZ_CHECK(it != m.blocks.end());
  CheckBlock(*it);
}

bool Overlap(const char* a, size_t aLength, const char* b, size_t bLength) {
  return a < b + bLength && b < a + aLength;
}

bool HasRoom(const Model& m, int64_t bytes) {
  return m.blocks.size() < kMaxBlocks && bytes >= 0 &&
         m.liveBytes + static_cast<size_t>(bytes) <= kMaxLiveBytes;
}

void Alloc(Model& m, fuzz::Input& in) {
  const int32_t size = SizeFrom(in);
  if (size >= 0 && !HasRoom(m, size)) return;
  char* p = static_cast<char*>(RuntimeHeapAlloc(size));
  if (size < 0) {
    FUZZ_CHECK(p == nullptr);
    return;
  }
  Adopt(m, p, std::vector<char>(static_cast<size_t>(size), '\0'));
}

void Write(Model& m, fuzz::Input& in) {
  Block* b = OwnBlock(m, in);
  if (b == nullptr || b->shadow.empty()) return;
  const size_t offset = in.U16() % b->shadow.size();
  const std::string_view bytes =
      in.Bytes(std::min<size_t>(in.Below(48), b->shadow.size() - offset));
  std::memcpy(b->p + offset, bytes.data(), bytes.size());
  std::memcpy(b->shadow.data() + offset, bytes.data(), bytes.size());
}

void Space(Model& m, fuzz::Input& in) {
  const int32_t n = in.Bit() ? static_cast<int32_t>(in.Below(255)) - 8 : in.S16();
  const size_t length = n < 0 ? 0 : static_cast<size_t>(n);
  if (!HasRoom(m, static_cast<int64_t>(length) + 1)) return;
  std::vector<char> want(length, ' ');
  want.push_back('\0');
  Adopt(m, SpaceString(n), std::move(want));
}

void Measure(Model& m, fuzz::Input& in) {
  Block* b = AnyBlock(m, in);
  if (b == nullptr) return;
  const size_t offset = in.Below(8);
  size_t length = 0;
  if (!StringIn(*b, offset, &length)) return;
  FUZZ_CHECK(StringLength(b->p + offset) == static_cast<int32_t>(length));
}

void Copy(Model& m, fuzz::Input& in, bool append) {
  Block* src = AnyBlock(m, in);
  Block* dst = OwnBlock(m, in);
  if (src == nullptr || dst == nullptr) return;
  const size_t so = in.Below(8);
  const size_t dOffset = in.Below(8);
  size_t sLength = 0, dLength = 0;
  if (!StringIn(*src, so, &sLength)) return;
  if (append && !StringIn(*dst, dOffset, &dLength)) return;
  const size_t written = dOffset + dLength + sLength + 1;  // bytes up to the new terminator
  if (written > dst->shadow.size()) return;
  if (Overlap(dst->p + dOffset, written - dOffset, src->p + so, sLength + 1)) return;
  const std::vector<char> source(src->shadow.begin() + static_cast<ptrdiff_t>(so),
                                 src->shadow.begin() + static_cast<ptrdiff_t>(so + sLength + 1));
  char* result = append ? StringAppend(dst->p + dOffset, src->p + so)
                        : StringCopy(dst->p + dOffset, src->p + so);
  FUZZ_CHECK(result == dst->p + dOffset);
  std::copy(source.begin(), source.end(),
            dst->shadow.begin() + static_cast<ptrdiff_t>(dOffset + dLength));
  CheckBlock(*dst);
  CheckBlock(*src);
}

void UpperCopy(Model& m, fuzz::Input& in) {
  Block* src = AnyBlock(m, in);
  if (src == nullptr) return;
  const size_t offset = in.Below(8);
  size_t length = 0;
  if (!StringIn(*src, offset, &length) || !HasRoom(m, static_cast<int64_t>(length) + 1)) return;
  std::vector<char> want(src->shadow.begin() + static_cast<ptrdiff_t>(offset),
                         src->shadow.begin() + static_cast<ptrdiff_t>(offset + length + 1));
  for (char& c : want) c = static_cast<char>(Upper(static_cast<unsigned char>(c)));
  char* copy = StringUpperCopy(src->p + offset);
  CheckBlock(*src);
  Adopt(m, copy, std::move(want));
}

// A string ending on the last readable byte of a page, measured, copied and upper-cased.
void AtPageEnd(Model& m, fuzz::Input& in) {
  GuardedPage& page = Guard();
  FUZZ_CHECK(page.Ready());
  std::string text(in.Bytes(in.Below(40)));
  text.erase(std::find(text.begin(), text.end(), '\0'), text.end());
  char* start = page.End() - 1 - text.size();
  std::memcpy(start, text.data(), text.size());
  start[text.size()] = '\0';
  FUZZ_CHECK(StringLength(start) == static_cast<int32_t>(text.size()));
  if (Block* dst = OwnBlock(m, in); dst != nullptr) {
    const size_t offset = in.Below(4);
    if (offset + text.size() + 1 <= dst->shadow.size()) {
      FUZZ_CHECK(StringCopy(dst->p + offset, start) == dst->p + offset);
      std::copy(start, start + text.size() + 1,
                dst->shadow.begin() + static_cast<ptrdiff_t>(offset));
      CheckBlock(*dst);
    }
  }
  if (HasRoom(m, static_cast<int64_t>(text.size()) + 1)) {
    std::vector<char> want(start, start + text.size() + 1);
    for (char& c : want) c = static_cast<char>(Upper(static_cast<unsigned char>(c)));
    Adopt(m, StringUpperCopy(start), std::move(want));
  }
}

void Push(Model& m, fuzz::Input& in) {
  Block* b = in.Below(16) == 0 ? nullptr : OwnBlock(m, in);
  char* s = b != nullptr ? b->p : nullptr;
  FUZZ_CHECK(TempStringPush(s) == 0);
  // A full stack takes nothing: the string stays with whoever pushed it.
  if (m.parked.size() < static_cast<size_t>(TEMP_STRING_SLOTS)) {
    m.parked.push_back(s);
    if (b != nullptr) b->parked = true;
  }
}

void Pop(Model& m, fuzz::Input& in) {
  const int32_t n = in.Bit() ? static_cast<int32_t>(in.Below(112)) - 4 : in.Edgy32();
  // The strings about to be freed must hold what they were given.
  const size_t popped = n <= 0 ? 0 : std::min<size_t>(static_cast<size_t>(n), m.parked.size());
  for (size_t i = m.parked.size() - popped; i < m.parked.size(); ++i) CheckParked(m, m.parked[i]);
  FUZZ_CHECK(TempStringPop(n) == 0);
  for (int64_t i = 0; i < n && !m.parked.empty(); ++i) {
    if (char* s = m.parked.back(); s != nullptr) Forget(m, s, false);
    m.parked.pop_back();
  }
}

void Clear(Model& m) {
  for (char* s : m.parked) CheckParked(m, s);
  FUZZ_CHECK(TempStringClear() == 0);
  for (char* s : m.parked) {
    if (s != nullptr) Forget(m, s, false);
  }
  m.parked.clear();
}

void Free(Model& m, fuzz::Input& in) {
  Block* b = OwnBlock(m, in);
  if (b == nullptr) return;
  switch (in.Below(4)) {
    case 0: {  // not the start of a block: refused, nothing changes
      if (b->shadow.empty()) return;
      FUZZ_CHECK(RuntimeHeapFree(b->p + 1) == 0);
      char local = 0;
      FUZZ_CHECK(RuntimeHeapFree(&local) == 0);
      FUZZ_CHECK(RuntimeHeapFree(nullptr) == 0);
      return;
    }
    default: {
      char* p = b->p;
      Forget(m, p);
      FUZZ_CHECK(RuntimeHeapFree(p) != 0);
    }
  }
}

// With no heap every allocation is refused and nothing is freed.
void WithoutHeap(Model& m, fuzz::Input& in) {
  const HANDLE heap = RuntimeHeap;
  RuntimeHeap = nullptr;
  FUZZ_CHECK(RuntimeHeapAlloc(SizeFrom(in)) == nullptr);
  FUZZ_CHECK(SpaceString(in.S16()) == nullptr);
  FUZZ_CHECK(StringUpperCopy("abc") == nullptr);
  if (Block* b = OwnBlock(m, in)) FUZZ_CHECK(RuntimeHeapFree(b->p) == 0);
  FUZZ_CHECK(RuntimeHeapDestroy() == 0);
  RuntimeHeap = heap;
  FUZZ_CHECK(RuntimeHeapCreate() == 1);  // a heap exists: neither replaced nor emptied
  FUZZ_CHECK(RuntimeHeap == heap);
}

// The heap destroyed with everything in it, and made again: the stack starts empty.
void Recreate(Model& m) {
  FUZZ_CHECK(RuntimeHeapDestroy() != 0);
  RuntimeHeap = nullptr;
  FUZZ_CHECK(RuntimeHeapCreate() == 1);
  FUZZ_CHECK(TempStringStack.count == 0);
  m = Model{};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (RuntimeHeap == nullptr) RuntimeHeapCreate();
  fuzz::Input in(data, size);
  Model m;
  CheckAccounting(m);
  for (int op = 0; op < 400 && !in.AtEnd(); ++op) {
    switch (in.Below(16)) {
      case 0:
      case 1: Alloc(m, in); break;
      case 2: Write(m, in); break;
      case 3: Space(m, in); break;
      case 4: Measure(m, in); break;
      case 5: Copy(m, in, false); break;
      case 6: Copy(m, in, true); break;
      case 7: UpperCopy(m, in); break;
      case 8: AtPageEnd(m, in); break;
      case 9:
      case 10: Push(m, in); break;
      case 11: Pop(m, in); break;
      case 12: Clear(m); break;
      case 13: Free(m, in); break;
      case 14: WithoutHeap(m, in); break;
      default:
        if (in.Below(8) == 0) Recreate(m);
        break;
    }
    CheckAccounting(m);
  }
  for (const Block& b : m.blocks) CheckBlock(b);
  Clear(m);
  while (!m.blocks.empty()) {
    char* p = m.blocks.back().p;
    Forget(m, p);
    FUZZ_CHECK(RuntimeHeapFree(p) != 0);
  }
  CheckAccounting(m);
  return 0;
}
