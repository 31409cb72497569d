#include "pagecount/page_walk.h"

#include <algorithm>
#include <array>
#include <unordered_map>
#include <unordered_set>

#include "pagecount/limits.h"
#include "pagecount/verdict.h"

namespace foliotally::pdf {

namespace {

constexpr std::array<std::string_view, 1> kPagesOnly = {"Pages"};
// The keys a node or page is read for when only sizes are wanted. /Contents, /Annots and
// the rest of a page are skipped over, never kept.
constexpr std::array<std::string_view, 7> kSizeKeys = {"Type",    "Kids",   "MediaBox", "CropBox",
                                                       "TrimBox", "Rotate", "UserUnit"};
constexpr std::array<std::string_view, 8> kSizeAndParentKeys = {
    "Type", "Kids", "MediaBox", "CropBox", "TrimBox", "Rotate", "UserUnit", "Parent"};
// Ancestors a page found by a scan may inherit from; a real tree is a few levels deep.
constexpr size_t kMaxParentChain = 64;
constexpr std::array<std::string_view, 8> kSizeAndResourceKeys = {
    "Type", "Kids", "MediaBox", "CropBox", "TrimBox", "Rotate", "UserUnit", "Resources"};

Object RefTo(int64_t num) {
  Object ref;
  ref.kind = Object::Kind::kRef;
  ref.value = num;
  return ref;
}

// A value that is set but could not be read stands as a string: neither a box nor a number,
// so whatever it would have given is unknown, never taken from elsewhere.
Object Unreadable() {
  Object o;
  o.kind = Object::Kind::kString;
  return o;
}

Object* FindIn(Object& dict, std::string_view key) {
  for (auto& [k, v] : dict.entries)
    if (k == key) return &v;
  return nullptr;
}

Object CatalogPages(Document& doc) {
  const Object catalog = doc.Resolve(doc.Root(), kPagesOnly);
  if (!catalog.IsDict()) Damaged("catalog is not a dictionary");
  const Object* pages = catalog.Find("Pages");
  if (!pages) Damaged("no page tree");
  return *pages;
}

}  // namespace

PageWalk::PageWalk(Document& doc, PageWalkOptions options)
    : PageWalk(doc, CatalogPages(doc), options) {}

PageWalk::PageWalk(Document& doc, const Object& root, PageWalkOptions options)
    : doc_(doc), options_(options) {
  Push(root, std::make_shared<const InheritedAttributes>());
}

void PageWalk::Push(const Object& kid,
                    const std::shared_ptr<const InheritedAttributes>& inherited) {
  if (++pushed_ > limits::kMaxWalkPushes || stack_.size() >= limits::kMaxWalkPending)
    Damaged("page tree too large");
  if (kid.IsRef()) {
    if (!visited_.contains(kid.value)) stack_.push_back({kid.value, nullptr, inherited});
  } else if (kid.IsDict()) {
    stack_.push_back({-1, std::make_unique<Object>(kid), inherited});
  }
}

Object PageWalk::ResolveValue(Object value) {
  // Most values are written in place, numbers and all: nothing to follow.
  auto direct = [](const Object& o) {
    return o.IsArray() ? std::none_of(o.items.begin(), o.items.end(),
                                      [](const Object& item) { return item.IsRef(); })
                       : !o.IsRef();
  };
  if (direct(value)) return value;
  Object out;
  if (!SurvivesDamage([&] {
        out = doc_.Resolve(std::move(value));
        // A box's numbers may be references themselves; a longer array is no box anyway.
        if (out.IsArray() && out.items.size() == 4)
          for (Object& item : out.items)
            if (item.IsRef()) item = doc_.Resolve(std::move(item));
      }))
    return Unreadable();
  return out;
}

bool PageWalk::SetsAny(const Object& node) const {
  return node.Find("MediaBox") || node.Find("CropBox") || node.Find("Rotate") ||
         (options_.resources && node.Find("Resources"));
}

void PageWalk::Override(Object& node, InheritedAttributes& into, bool keep_node) {
  // A null value is as if the key were absent: the ancestors' value stands. Values are moved
  // out of a node that is not kept, not copied.
  auto take = [&](std::string_view key, Object& value) {
    Object* given = FindIn(node, key);
    if (!given) return;
    Object resolved = ResolveValue(keep_node ? Object(*given) : std::move(*given));
    if (!resolved.IsNull()) value = std::move(resolved);
  };
  take("MediaBox", into.media_box);
  take("CropBox", into.crop_box);
  take("Rotate", into.rotate);
  if (!options_.resources) return;
  if (const Object* resources = node.Find("Resources")) {
    Object resolved;
    if (!SurvivesDamage([&] { resolved = doc_.Resolve(*resources); })) resolved = Unreadable();
    if (!resolved.IsNull()) into.resources = std::move(resolved);
  }
}

std::shared_ptr<const InheritedAttributes> PageWalk::Inherit(
    Object& node, const std::shared_ptr<const InheritedAttributes>& from) {
  if (!SetsAny(node)) return from;
  auto next = std::make_shared<InheritedAttributes>(*from);
  Override(node, *next, false);
  return next;
}

void PageWalk::Fill(WalkedPage& out, const InheritedAttributes& inherited) {
  // Reading sizes only, the page's dictionary is the walk's own: its values are moved out.
  const bool keep = options_.whole_page;
  // What is null in both needs no copy: most pages inherit little or nothing.
  auto inherit = [](Object& to, const Object& from) {
    if (!from.IsNull()) {
      to = from;
    } else if (!to.IsNull()) {
      to = Object();
    }
  };
  inherit(out.attributes.resources, inherited.resources);
  inherit(out.attributes.media_box, inherited.media_box);
  inherit(out.attributes.crop_box, inherited.crop_box);
  inherit(out.attributes.rotate, inherited.rotate);
  Override(out.page, out.attributes, keep);
  auto own = [&](std::string_view key, Object& to) {
    if (Object* given = FindIn(out.page, key)) {
      to = ResolveValue(keep ? Object(*given) : std::move(*given));
    } else if (!to.IsNull()) {
      to = Object();
    }
  };
  own("TrimBox", out.trim_box);
  own("UserUnit", out.user_unit);
}

bool PageWalk::Next(WalkedPage& out) {
  const std::span<const std::string_view> keys =
      options_.whole_page  ? std::span<const std::string_view>()
      : options_.resources ? std::span<const std::string_view>(kSizeAndResourceKeys)
                           : std::span<const std::string_view>(kSizeKeys);
  while (!stack_.empty()) {
    Pending top = std::move(stack_.back());
    stack_.pop_back();
    Object node;
    if (top.direct) {
      node = std::move(*top.direct);
    } else if (visited_.contains(top.number)) {
      continue;  // a cycle, or a node shared by two parents: its pages are shown once
    }
    if (++nodes_ > limits::kMaxWalkNodes) Damaged("page tree too large");
    if (!top.direct && !SurvivesDamage([&] { node = doc_.Resolve(RefTo(top.number), keys); })) {
      if (++pages_ > INT32_MAX) Damaged("too many pages");
      out = WalkedPage();
      out.number = top.number;
      return true;
    }
    if (!node.IsDict()) continue;  // a null or broken kid holds no page
    const Object* kids = node.Find("Kids");
    const Object* type = node.Find("Type");
    if (kids && !(type && type->IsName("Page"))) {
      if (!top.direct) visited_.insert(top.number);
      const auto inherited = Inherit(node, top.inherited);
      // A /Kids array written in the node is used where it stands: a long one is not copied.
      Object list;
      if (kids->IsRef() && !SurvivesDamage([&] { list = doc_.Resolve(*kids); })) continue;
      const Object& kid_list = kids->IsRef() ? list : *kids;
      if (!kid_list.IsArray()) continue;
      const size_t needed =
          stack_.size() + std::min(kid_list.items.size(), limits::kMaxWalkPending);
      if (needed > stack_.capacity()) stack_.reserve(std::max(needed, 2 * stack_.capacity()));
      for (auto it = kid_list.items.rbegin(); it != kid_list.items.rend(); ++it)
        Push(*it, inherited);
      continue;
    }
    if (type && type->IsName("Pages")) continue;  // an intermediate node without kids
    if (++pages_ > INT32_MAX) Damaged("too many pages");
    out.readable = true;
    out.number = top.direct ? -1 : top.number;
    out.page = std::move(node);
    Fill(out, *top.inherited);
    return true;
  }
  return false;
}

std::vector<WalkedPage> ScannedPages(Document& doc, int64_t limit) {
  std::vector<int64_t> numbers;
  doc.ForEachRecoveredObject([&](int64_t num) { numbers.push_back(num); });
  std::sort(numbers.begin(), numbers.end());
  // The walk's way of reading pages and values, without a tree to walk.
  PageWalk reader(doc, Object(), PageWalkOptions{});
  // Each ancestor is read once, however many pages name it: a node above thousands of pages
  // read for each of them would make the scan's pages cost the square of their number. It
  // is kept without its /Kids, which nothing below needs; null when it cannot be read.
  std::unordered_map<int64_t, Object> ancestors_read;
  const auto ancestor_node = [&](int64_t num) -> Object* {
    const auto [it, added] = ancestors_read.try_emplace(num);
    if (added) {
      Object& node = it->second;
      if (!SurvivesDamage([&] { node = doc.Resolve(RefTo(num), kSizeAndParentKeys); }) ||
          !node.IsDict())
        node = Object();
      std::erase_if(node.entries, [](const DictEntry& e) { return e.first == "Kids"; });
    }
    return it->second.IsDict() ? &it->second : nullptr;
  };
  std::vector<WalkedPage> pages;
  for (const int64_t num : numbers) {
    if (static_cast<int64_t>(pages.size()) > limit) break;
    Object node;
    if (!SurvivesDamage([&] { node = doc.Resolve(RefTo(num), kSizeAndParentKeys); })) continue;
    if (!node.IsDict()) continue;
    const Object* type = node.Find("Type");
    const Object* parent = node.Find("Parent");
    if (type ? !type->IsName("Page") : (node.Find("Kids") || !parent || !parent->IsRef())) continue;
    // What the page does not set comes from the nearest ancestor that does.
    InheritedAttributes inherited;
    std::vector<Object*> ancestors;
    std::unordered_set<int64_t> seen{num};
    for (const Object* up = parent;
         up && up->IsRef() && ancestors.size() < kMaxParentChain && seen.insert(up->value).second;
         up = ancestors.back()->Find("Parent")) {
      Object* ancestor = ancestor_node(up->value);
      if (!ancestor) break;
      ancestors.push_back(ancestor);
    }
    if (!type) {
      const Object* parent_type = ancestors.empty() ? nullptr : ancestors.front()->Find("Type");
      if (!parent_type || !parent_type->IsName("Pages")) continue;
    }
    // The ancestors are shared with other pages: their values are copied, not moved out.
    for (auto it = ancestors.rbegin(); it != ancestors.rend(); ++it)
      reader.Override(**it, inherited, true);
    WalkedPage page;
    page.readable = true;
    page.number = num;
    page.page = std::move(node);
    reader.Fill(page, inherited);
    pages.push_back(std::move(page));
  }
  return pages;
}

}  // namespace foliotally::pdf
