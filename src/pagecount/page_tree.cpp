#include "pagecount/page_tree.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "pagecount/limits.h"
#include "pagecount/verdict.h"

namespace foliotally::pdf {

namespace {

constexpr std::array<std::string_view, 1> kCountOnly = {"Count"};
constexpr std::array<std::string_view, 1> kPagesOnly = {"Pages"};
constexpr std::array<std::string_view, 3> kPageKeys = {"Type", "Kids", "Parent"};
constexpr std::array<std::string_view, 1> kTypeOnly = {"Type"};

Object RefTo(int64_t num) {
  Object ref;
  ref.kind = Object::Kind::kRef;
  ref.value = num;
  return ref;
}

bool IsPageObject(Document& doc, const Object& node) {
  if (!node.IsDict()) return false;
  const Object* type = node.Find("Type");
  if (type) return type->IsName("Page");
  const Object* parent = node.Find("Parent");
  if (node.Find("Kids") || !parent || !parent->IsRef()) return false;
  const Object tree_node = doc.Resolve(*parent, kTypeOnly);
  const Object* parent_type = tree_node.Find("Type");
  return parent_type && parent_type->IsName("Pages");
}

// The /Count a node claims, when it could be true; -1 otherwise. A count above what the
// file can hold is a lie; a walk of the tree then counts the pages it really has, which is
// what a viewer shows.
int64_t PlausibleCount(Document& doc, const Object& node) {
  const Object* count = node.Find("Count");
  if (!count) return -1;
  const Object value = doc.Resolve(*count);
  if (!value.IsInt() || value.value < 0 || value.value > INT32_MAX) return -1;
  if (static_cast<uint64_t>(value.value) > doc.PageBound()) return -1;
  return value.value;
}

}  // namespace

int32_t CountPageTree(Document& doc) {
  // Of the catalog only /Pages is wanted: outlines, names and the rest are skipped.
  const Object catalog = doc.Resolve(doc.Root(), kPagesOnly);
  if (!catalog.IsDict()) Damaged("catalog is not a dictionary");
  const Object* pages = catalog.Find("Pages");
  if (!pages) Damaged("no page tree");
  // Only the root's /Count is wanted: a long /Kids array after it is never read.
  const Object head = doc.Resolve(*pages, kCountOnly);
  if (!head.IsDict()) Damaged("no page-tree root");
  const int64_t count = PlausibleCount(doc, head);
  if (count >= 0) return static_cast<int32_t>(count);
  doc.NoteRepair(head.Find("Count") ? "page count no tree can hold replaced by a walk"
                                    : "page tree without a page count walked");
  return WalkPageTree(doc, *pages);
}

int32_t CountPageObjects(Document& doc) {
  std::vector<int64_t> numbers;
  doc.ForEachRecoveredObject([&](int64_t num) { numbers.push_back(num); });
  std::sort(numbers.begin(), numbers.end());
  int64_t pages = 0;
  for (const int64_t num : numbers) {
    bool page = false;
    if (SurvivesDamage([&] { page = IsPageObject(doc, doc.Resolve(RefTo(num), kPageKeys)); }) &&
        page && ++pages > INT32_MAX)
      Damaged("too many pages");
  }
  return static_cast<int32_t>(pages);
}

int32_t WalkPageTree(Document& doc, const Object& root) {
  // The stack holds object numbers; a kid written directly (not as a reference) waits in
  // `direct` and stands on the stack as -1 - its index there.
  std::vector<int64_t> stack;
  std::vector<Object> direct;
  std::unordered_set<int64_t> visited;
  size_t pushed = 0;
  auto push = [&](const Object& kid) {
    if (++pushed > limits::kMaxWalkPushes) Damaged("page tree too large");
    if (kid.IsRef()) {
      if (!visited.contains(kid.value)) stack.push_back(kid.value);
    } else if (kid.IsDict()) {
      direct.push_back(kid);
      stack.push_back(-1 - static_cast<int64_t>(direct.size() - 1));
    }
  };
  push(root);
  size_t nodes = 0;
  int64_t pages = 0;
  while (!stack.empty()) {
    const int64_t top = stack.back();
    stack.pop_back();
    Object node;
    if (top >= 0) {
      if (!visited.insert(top).second) continue;  // a cycle, or a kid shared by two parents
      Object ref;
      ref.kind = Object::Kind::kRef;
      ref.value = top;
      node = doc.Resolve(std::move(ref));
    } else {
      node = std::move(direct[static_cast<size_t>(-1 - top)]);
    }
    if (++nodes > limits::kMaxWalkNodes) Damaged("page tree too large");
    if (!node.IsDict()) {  // a null or broken kid holds no page
      doc.NoteRepair("page tree has broken kids");
      continue;
    }
    const Object* kids = node.Find("Kids");
    const Object* type = node.Find("Type");
    if (kids && !(type && type->IsName("Page"))) {
      const Object list = doc.Resolve(*kids);
      if (list.IsArray())
        for (auto it = list.items.rbegin(); it != list.items.rend(); ++it) push(*it);
      continue;
    }
    if (type && type->IsName("Pages")) continue;  // an intermediate node without kids
    if (++pages > INT32_MAX) Damaged("too many pages");
  }
  return static_cast<int32_t>(pages);
}

CountResult CountOpenedDocument(Document& doc) {
  const int32_t pages = CountPageTree(doc);
  // Sound unless the count read past damage; a pointer test keeps the sound path as fast.
  if (doc.repair_note() == nullptr) return {Verdict::kCounted, pages};
  return Recovered({Verdict::kCounted, pages}, doc.repair_note());
}

}  // namespace foliotally::pdf
