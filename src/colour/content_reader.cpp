#include "colour/content_reader.h"

#include <algorithm>
#include <array>
#include <memory>

#include "pagecount/verdict.h"

namespace foliotally::colour {

namespace {

using pdf::Object;

// Thrown from deep inside a page's content when it must be drawn; caught by Read.
struct NeedsDrawing {
  const char* why;
};

[[noreturn]] void Draw(const char* why) { throw NeedsDrawing{why}; }

// Annotation flags that keep an annotation off the screen.
constexpr int64_t kHiddenFlag = 2;
constexpr int64_t kNoViewFlag = 32;
constexpr size_t kMaxAnnotations = 4096;
constexpr size_t kMaxAppearanceStates = 16;
// Decoded bytes asked of a stream at a time.
constexpr size_t kDecodeStep = 256 * 1024;

bool FillsText(int mode) { return mode == 0 || mode == 2 || mode == 4 || mode == 6; }
bool StrokesText(int mode) { return mode == 1 || mode == 2 || mode == 5 || mode == 6; }

// The numbers among `operands`, in order.
std::vector<double> Numbers(const std::vector<Operand>& operands) {
  std::vector<double> out;
  for (const Operand& o : operands)
    if (o.kind == Operand::Kind::kNumber) out.push_back(o.number);
  return out;
}

// The last `n` numbers of `operands`, or fewer when there are not so many.
std::vector<double> LastNumbers(const std::vector<Operand>& operands, size_t n) {
  std::vector<double> all = Numbers(operands);
  if (all.size() > n) all.erase(all.begin(), all.end() - static_cast<std::ptrdiff_t>(n));
  return all;
}

const Operand* LastName(const std::vector<Operand>& operands) {
  for (auto it = operands.rbegin(); it != operands.rend(); ++it)
    if (it->kind == Operand::Kind::kName) return &*it;
  return nullptr;
}

int64_t IntOr(pdf::Document& doc, const Object* o, int64_t fallback) {
  if (!o) return fallback;
  const Object v = doc.Resolve(*o);
  return v.IsInt() ? v.value : fallback;
}

}  // namespace

// A resource dictionary with its sub-dictionaries resolved, and what was looked up in it.
struct ContentReader::Resources {
  Resources(pdf::Document& doc, const Object& resources) {
    if (!resources.IsDict()) return;
    dict = resources;
    const auto sub = [&](const char* key) {
      const Object* o = resources.Find(key);
      return o ? doc.Resolve(*o) : Object{};
    };
    colour_spaces = sub("ColorSpace");
    xobjects = sub("XObject");
    patterns = sub("Pattern");
    shadings = sub("Shading");
    states = sub("ExtGState");
    fonts = sub("Font");
  }
  static const Object* Entry(const Object& sub, const std::string& name) {
    return sub.IsDict() ? sub.Find(name) : nullptr;
  }

  Object dict;
  Object colour_spaces, xobjects, patterns, shadings, states, fonts;
  std::unordered_map<std::string, ColourSpace> spaces;
  std::unordered_map<std::string, bool> type3_fonts;
  std::unordered_set<std::string> checked_states;
};

Reading ContentReader::Read(const Object& page, const Object& resources) {
  operators_ = 0;
  content_bytes_ = 0;
  open_forms_.clear();
  try {
    ReadPage(page, resources);
    return {true, nullptr};
  } catch (const NeedsDrawing& drawing) {
    return {false, drawing.why};
  } catch (const pdf::ReadFailure& failure) {
    if (failure.verdict == pdf::Verdict::kTimedOut || failure.verdict == pdf::Verdict::kUnreadable)
      throw;
    return {false, "content not readable"};
  }
}

void ContentReader::ReadPage(const Object& page, const Object& resources) {
  if (!page.IsDict()) Draw("page not readable");
  Resources res(doc_, resources);
  if (const Object* contents = page.Find("Contents")) ReadContents(*contents, res);
  ReadAnnotations(page);
}

void ContentReader::ReadContents(const Object& contents, Resources& res) {
  // An array of streams is one content stream cut in parts: an operator may begin in one
  // part and end in the next.
  std::vector<Object> parts;
  if (contents.IsRef()) {
    const Object value = doc_.Resolve(contents);
    if (value.IsArray())
      parts = value.items;
    else
      parts.push_back(contents);
  } else if (contents.IsArray()) {
    parts = contents.items;
  }
  std::string text;
  for (const Object& part : parts) {
    Object dict;
    text += DecodeStream(part, dict);
    text += '\n';
  }
  State state;
  Run(text, res, state, 0);
}

std::string ContentReader::DecodeStream(const Object& ref, Object& dict) {
  const std::unique_ptr<pdf::StreamDecoder> decoder = doc_.OpenStream(ref, dict);
  size_t have = 0;
  while (!decoder->finished()) {
    deadline_.Check();
    if (content_bytes_ + have > kMaxContentBytes) Draw("content too long to read");
    have = decoder->Ensure(have + kDecodeStep);
  }
  content_bytes_ += have;
  return std::string(decoder->data());
}

void ContentReader::CountOperator() {
  if (++operators_ > kMaxOperatorsPerPage) Draw("too many operators to read");
  if (operators_ % 4096 == 0) deadline_.Check();
}

void ContentReader::Run(std::string_view text, Resources& res, State& state, int depth) {
  ContentLexer lexer(text);
  std::vector<State> stack{state};
  std::string_view op;
  while (lexer.Next(op, operands_)) {
    CountOperator();
    Operate(op, lexer, res, stack, depth);
  }
}

void ContentReader::Operate(std::string_view op, ContentLexer& lexer, Resources& res,
                            std::vector<State>& stack, int depth) {
  State& s = stack.back();
  const auto set_device = [&](Paint& paint, SpaceFamily family, size_t n) {
    paint.space = {family, SpaceFamily::kUnknown, static_cast<int>(n)};
    const std::vector<double> values = LastNumbers(operands_, n);
    paint.neutral = values.size() == n && IsNeutralValue(family, values);
  };
  const auto need = [](const Paint& paint, const char* why) {
    if (!paint.neutral) Draw(why);
  };
  if (op.size() > 3) return;  // every operator that matters here is short
  if (op == "q") {
    if (stack.size() >= static_cast<size_t>(kMaxStateDepth)) Draw("graphics state nested too deep");
    stack.push_back(s);
  } else if (op == "Q") {
    if (stack.size() > 1) stack.pop_back();
  } else if (op == "g" || op == "G") {
    set_device(op == "g" ? s.fill : s.stroke, SpaceFamily::kNeutral, 1);
    (op == "g" ? s.fill : s.stroke).neutral = true;
  } else if (op == "rg" || op == "RG") {
    set_device(op == "rg" ? s.fill : s.stroke, SpaceFamily::kRgb, 3);
  } else if (op == "k" || op == "K") {
    set_device(op == "k" ? s.fill : s.stroke, SpaceFamily::kCmyk, 4);
  } else if (op == "cs" || op == "CS") {
    SetSpace(op == "cs" ? s.fill : s.stroke, res);
  } else if (op == "sc" || op == "scn" || op == "SC" || op == "SCN") {
    SetColour(op[0] == 's' ? s.fill : s.stroke, res, depth);
  } else if (op == "f" || op == "F" || op == "f*") {
    need(s.fill, "colour fill");
  } else if (op == "S" || op == "s") {
    need(s.stroke, "colour stroke");
  } else if (op == "B" || op == "B*" || op == "b" || op == "b*") {
    need(s.fill, "colour fill");
    need(s.stroke, "colour stroke");
  } else if (op == "Tr") {
    const std::vector<double> mode = LastNumbers(operands_, 1);
    s.render_mode = mode.empty() ? 0 : static_cast<int>(mode[0]);
  } else if (op == "Tf") {
    if (const Operand* name = LastName(operands_)) CheckFont(name->name, res, s);
  } else if (op == "Tj" || op == "TJ" || op == "'" || op == "\"") {
    if (s.type3_font) Draw("text in a type 3 font");
    if (FillsText(s.render_mode)) need(s.fill, "colour text");
    if (StrokesText(s.render_mode)) need(s.stroke, "colour text");
  } else if (op == "Do") {
    if (const Operand* name = LastName(operands_)) {
      const std::string copy = name->name;  // the operands are reused inside the form
      PaintXObject(copy, res, s, depth);
    }
  } else if (op == "sh") {
    if (const Operand* name = LastName(operands_)) {
      const Object* entry = Resources::Entry(res.shadings, name->name);
      if (entry) PaintShading(doc_.Resolve(*entry), res);
    }
  } else if (op == "gs") {
    if (const Operand* name = LastName(operands_)) CheckGraphicsState(name->name, res);
  } else if (op == "BI") {
    InlineImage image;
    if (!lexer.ReadInlineImage(image)) return;
    if (image.image_mask) return need(s.fill, "colour stencil image");
    if (image.colour_space_other || image.colour_space.empty())
      Draw("inline image in a colour space");
    Object name;
    name.kind = Object::Kind::kName;
    name.name = image.colour_space == "I" ? "Indexed" : image.colour_space;
    if (ClassifyColourSpace(doc_, name, &res.colour_spaces).family != SpaceFamily::kNeutral)
      Draw("inline image in a colour space");
  }
}

void ContentReader::SetSpace(Paint& paint, Resources& res) {
  const Operand* name = LastName(operands_);
  if (!name) return;
  auto [it, fresh] = res.spaces.try_emplace(name->name);
  if (fresh) {
    Object space_object;
    space_object.kind = Object::Kind::kName;
    space_object.name = name->name;
    it->second = ClassifyColourSpace(doc_, space_object, &res.colour_spaces);
  }
  paint.space = it->second;
  paint.neutral = InitialValueIsNeutral(paint.space);
}

void ContentReader::SetColour(Paint& paint, Resources& res, int depth) {
  if (paint.space.family != SpaceFamily::kPattern) {
    const size_t n = static_cast<size_t>(std::max(1, paint.space.components));
    const std::vector<double> values = LastNumbers(operands_, n);
    paint.neutral = values.size() == n && IsNeutralValue(paint.space.family, values);
    return;
  }
  const Operand* name = LastName(operands_);
  if (!name) {
    paint.neutral = false;
    return;
  }
  // Taken before the pattern is read: reading its cell reuses the operands.
  const std::string pattern = name->name;
  const std::vector<double> values = Numbers(operands_);
  bool uncoloured = false;
  paint.neutral = PatternIsNeutral(pattern, res, depth, uncoloured);
  // An uncoloured pattern is painted in the colour given with it, in the base space.
  if (paint.neutral && uncoloured) paint.neutral = IsNeutralValue(paint.space.base, values);
}

bool ContentReader::PatternIsNeutral(const std::string& name, Resources& res, int depth,
                                     bool& uncoloured) {
  const Object* entry = Resources::Entry(res.patterns, name);
  if (!entry) return false;
  const Object pattern = doc_.Resolve(*entry);
  if (!pattern.IsDict()) return false;
  const int64_t type = IntOr(doc_, pattern.Find("PatternType"), 0);
  if (type == 2) {
    const Object* shading = pattern.Find("Shading");
    if (!shading) return false;
    try {
      PaintShading(doc_.Resolve(*shading), res);
      return true;
    } catch (const NeedsDrawing&) {
      return false;
    }
  }
  if (type != 1 || !entry->IsRef()) return false;
  uncoloured = IntOr(doc_, pattern.Find("PaintType"), 1) == 2;
  if (neutral_objects_.contains(entry->value)) return true;
  // A tiling cell is painted like a form, in a state of its own.
  try {
    PaintForm(*entry, pattern, res, State{}, depth);
    return true;
  } catch (const NeedsDrawing&) {
    return false;
  }
}

void ContentReader::PaintXObject(const std::string& name, Resources& res, const State& state,
                                 int depth) {
  const Object* entry = Resources::Entry(res.xobjects, name);
  if (!entry) return;  // nothing by that name: renderers paint nothing
  if (!entry->IsRef()) Draw("XObject not readable");
  const bool neutral_state = state.fill.neutral && state.stroke.neutral;
  if (neutral_state && neutral_objects_.contains(entry->value)) return;
  const Object dict = doc_.Resolve(*entry);
  if (!dict.IsDict()) return;
  const Object* subtype = dict.Find("Subtype");
  const Object kind = subtype ? doc_.Resolve(*subtype) : Object{};
  if (kind.IsName("Form")) return PaintForm(*entry, dict, res, state, depth);
  if (!kind.IsName("Image")) return;
  const Object* mask = dict.Find("ImageMask");
  if (mask && doc_.Resolve(*mask).kind == Object::Kind::kBool && doc_.Resolve(*mask).value) {
    if (!state.fill.neutral) Draw("colour stencil image");
    return;
  }
  const Object* space = dict.Find("ColorSpace");
  if (!space ||
      ClassifyColourSpace(doc_, *space, &res.colour_spaces).family != SpaceFamily::kNeutral)
    Draw("image in a colour space");
  neutral_objects_.insert(entry->value);
}

void ContentReader::PaintForm(const Object& ref, const Object& dict, Resources& outer,
                              const State& state, int depth) {
  if (depth >= kMaxFormDepth) Draw("forms nested too deep");
  if (std::find(open_forms_.begin(), open_forms_.end(), ref.value) != open_forms_.end())
    return;  // a form that paints itself: renderers stop there too
  // Popped however the form's reading ends: a pattern found coloured is caught and reading
  // goes on, and the form must then not look like a cycle.
  struct OpenForm {
    std::vector<int64_t>& forms;
    ~OpenForm() { forms.pop_back(); }
  } open{open_forms_};
  open_forms_.push_back(ref.value);
  Object stream_dict;
  const std::string text = DecodeStream(ref, stream_dict);
  const Object* own = dict.Find("Resources");
  Resources res(doc_, own ? doc_.Resolve(*own) : outer.dict);
  State inner = state;
  Run(text, res, inner, depth + 1);
  if (state.fill.neutral && state.stroke.neutral) neutral_objects_.insert(ref.value);
}

void ContentReader::PaintShading(const Object& shading, Resources& res) {
  const Object* space = shading.IsDict() ? shading.Find("ColorSpace") : nullptr;
  if (!space ||
      ClassifyColourSpace(doc_, *space, &res.colour_spaces).family != SpaceFamily::kNeutral)
    Draw("shading in a colour space");
}

void ContentReader::CheckGraphicsState(const std::string& name, Resources& res) {
  if (!res.checked_states.insert(name).second) return;
  const Object* entry = Resources::Entry(res.states, name);
  if (!entry) return;
  const Object state = doc_.Resolve(*entry);
  if (!state.IsDict()) return;
  // A transfer function for each channel can turn grey into a hue; a mask's contents only
  // set how much shows, and blending greys gives greys.
  for (const char* key : {"TR", "TR2"}) {
    const Object* transfer = state.Find(key);
    if (transfer && doc_.Resolve(*transfer).IsArray()) Draw("transfer function per channel");
  }
}

void ContentReader::CheckFont(const std::string& name, Resources& res, State& state) {
  auto [it, fresh] = res.type3_fonts.try_emplace(name, false);
  if (fresh) {
    if (const Object* entry = Resources::Entry(res.fonts, name)) {
      const Object font = doc_.Resolve(*entry);
      const Object* subtype = font.IsDict() ? font.Find("Subtype") : nullptr;
      it->second = subtype && doc_.Resolve(*subtype).IsName("Type3");
    }
  }
  state.type3_font = it->second;
}

void ContentReader::ReadAnnotations(const Object& page) {
  const Object* annots = page.Find("Annots");
  if (!annots) return;
  const Object list = doc_.Resolve(*annots);
  if (!list.IsArray()) return;
  if (list.items.size() > kMaxAnnotations) Draw("too many annotations to read");
  for (const Object& item : list.items) {
    const Object annotation = doc_.Resolve(item);
    if (!annotation.IsDict()) continue;
    const int64_t flags = IntOr(doc_, annotation.Find("F"), 0);
    if (flags & (kHiddenFlag | kNoViewFlag)) continue;
    const Object* subtype = annotation.Find("Subtype");
    if (subtype && doc_.Resolve(*subtype).IsName("Popup")) continue;
    ReadAppearance(annotation);
  }
}

void ContentReader::ReadAppearance(const Object& annotation) {
  const Object* ap = annotation.Find("AP");
  const Object appearances = ap ? doc_.Resolve(*ap) : Object{};
  const Object* normal = appearances.IsDict() ? appearances.Find("N") : nullptr;
  if (!normal) return ReadLinkBorder(annotation);
  Resources none(doc_, Object{});
  const auto paint = [&](const Object& ref) {
    if (!ref.IsRef()) return;
    const Object dict = doc_.Resolve(ref);
    if (dict.IsDict()) PaintForm(ref, dict, none, State{}, 1);
  };
  const Object value = doc_.Resolve(*normal);
  if (!value.IsDict()) return;
  // A stream has a bounding box; a dictionary of states names one stream per state.
  if (value.Find("BBox") || value.Find("Length")) return paint(*normal);
  const Object* state = annotation.Find("AS");
  const Object chosen = state ? doc_.Resolve(*state) : Object{};
  if (chosen.IsName()) {
    if (const Object* one = value.Find(chosen.name)) paint(*one);
    return;
  }
  if (value.entries.size() > kMaxAppearanceStates) Draw("too many appearance states");
  for (const auto& [key, stream] : value.entries) paint(stream);
}

void ContentReader::ReadLinkBorder(const Object& annotation) {
  const Object* subtype = annotation.Find("Subtype");
  if (!subtype || !doc_.Resolve(*subtype).IsName("Link")) Draw("annotation without appearance");
  // A link without an appearance shows a border in its colour /C, one point wide unless
  // /BS or /Border say otherwise.
  const Object* c = annotation.Find("C");
  const Object colour = c ? doc_.Resolve(*c) : Object{};
  if (!colour.IsArray() || colour.items.empty()) return;
  std::vector<double> values;
  for (const Object& item : colour.items) {
    const Object v = doc_.Resolve(item);
    if (!v.IsInt()) Draw("link border colour");  // a real: its value is not kept here
    values.push_back(static_cast<double>(v.value));
  }
  const SpaceFamily family = values.size() == 1   ? SpaceFamily::kNeutral
                             : values.size() == 3 ? SpaceFamily::kRgb
                                                  : SpaceFamily::kCmyk;
  if (IsNeutralValue(family, values)) return;
  int64_t width = 1;
  const Object* bs = annotation.Find("BS");
  const Object style = bs ? doc_.Resolve(*bs) : Object{};
  const Object* border = annotation.Find("Border");
  const Object array = border ? doc_.Resolve(*border) : Object{};
  if (style.IsDict() && style.Find("W")) {
    width = IntOr(doc_, style.Find("W"), 1);
  } else if (array.IsArray() && array.items.size() >= 3) {
    width = IntOr(doc_, &array.items[2], 1);
  }
  if (width != 0) Draw("colour link border");
}

}  // namespace foliotally::colour
